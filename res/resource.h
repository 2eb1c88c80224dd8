// Resource identifiers shared by addmorvane.rc and the program.
#ifndef ADDMORVANE_RESOURCE_H
#define ADDMORVANE_RESOURCE_H

// The program icon; the window loads it with MAKEINTRESOURCEW(IDI_APP).
#define IDI_APP 1

#endif
