; A DOS stand-in for the memory tester, for running the program's run scripts under a DOS
; command interpreter. It records the command tail it was given (the bytes at PSP offset 81h,
; as many as the length byte at 80h says) in C:\TAIL.TXT, replacing what a run before left
; there, and prints one line on standard output (handle 1), which a ">>" redirection of the
; command line appends to its file. Exit code 0, or 1 if TAIL.TXT could not be written.
;   nasm -f bin -o MORVANE.COM morvane.asm

        org     100h

        mov     ah, 3Ch                 ; create or truncate
        xor     cx, cx                  ; plain file
        mov     dx, tail_file
        int     21h
        jc      failed
        mov     bx, ax

        mov     ah, 40h                 ; write the command tail
        xor     ch, ch
        mov     cl, [80h]
        mov     dx, 81h
        int     21h
        jc      failed
        cmp     ax, cx
        jne     failed

        mov     ah, 3Eh                 ; close
        int     21h
        jc      failed

        mov     ah, 40h                 ; the one line of output
        mov     bx, 1
        mov     cx, report_length
        mov     dx, report
        int     21h

        mov     ax, 4C00h
        int     21h

failed:
        mov     ax, 4C01h
        int     21h

tail_file       db      'C:\TAIL.TXT', 0
report          db      'MORVANE: pass complete, no errors', 13, 10
report_length   equ     $ - report
