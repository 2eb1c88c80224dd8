#!/usr/bin/env bash
# Packs and signs what a release publishes; ./release and tests/package-run both use it, so the
# test checks the packages that a release makes, only from the test build's exe.
#
#   packaging/package.sh docs VERSION DIR         README.txt, LICENSE.txt, morvane1-example.bat
#                                                 and morvane1-undo-example.bat for Windows, in DIR
#   packaging/package.sh msi EXE ARCH VERSION DOCS OUT.msi
#                                                 ARCH x64 or x86; DOCS a folder made by "docs";
#                                                 the partition checker dospart-check.exe is
#                                                 taken from beside EXE
#   packaging/package.sh check-cert PFX           refuses a certificate that cannot sign code;
#                                                 prints its end of validity (notAfter=...)
#   packaging/package.sh sign PFX IN OUT [URL]    Authenticode, SHA-256, of an exe or an MSI;
#                                                 URL an RFC 3161 time-stamp service
#
# The date of the packages and signatures is SOURCE_DATE_EPOCH, which must be set: the same
# inputs give the same bytes. The PFX password comes from ADDMORVANE_SIGN_PASS and reaches
# openssl and osslsigncode through a file descriptor, never a command line.
set -euo pipefail

PACKAGING_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# The install folder's access list: full control for SYSTEM and Administrators, read and run for
# Users, inherited by every file in it and nothing inherited from above, so that no standard
# user can swap the elevated exe, wherever the folder is made.
FOLDER_SDDL='O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)'

# Fixed for good: Windows Installer knows every build of the program, of every version and both
# architectures, by it, which is what lets a newer package or another build of the same version
# replace the one installed, and deployment tools find it. Never change it.
UPGRADE_CODE=AC94C933-A69C-49D5-AF36-BBF39CA05DC7

die() {
  echo "package: $*" >&2
  exit 1
}

need_date() {
  [[ ${SOURCE_DATE_EPOCH:-} =~ ^[0-9]+$ ]] || die "SOURCE_DATE_EPOCH must be set to the date"
}

# Text files for Windows get CR LF line ends, which every Notepad shows as lines; the README
# has Russian words, and a byte-order mark makes older Notepads read it as UTF-8. Its commands
# name the real files, of this version.
cmd_docs() {
  local version=$1 dir=$2 root=$PACKAGING_DIR/..
  [[ $version =~ ^[0-9]+\.[0-9]+$ ]] || die "not a version: '$version'"
  mkdir -p "$dir"
  {
    printf '\xEF\xBB\xBF'
    sed "s/@VERSION@/$version/g; s/\r\$//; s/\$/\r/" "$root/docs/README-windows.txt"
  } >"$dir/README.txt"
  sed 's/\r$//; s/$/\r/' "$root/LICENSE" >"$dir/LICENSE.txt"
  # A batch file is copied byte for byte: its CR LF line ends are its own.
  local example
  for example in "$root"/docs/examples/morvane1-{,undo-}example.bat; do
    ! grep -qv $'\r$' "$example" || die "$example has a line without CR LF (see .gitattributes)"
    cp "$example" "$dir/"
  done
}

# The package's identities, one a line: the product code, a name-based UUID (version 5) in the
# upgrade code's space of the SHA-256 of every input that shapes the package's bytes, so that
# every build whose bytes differ (signed and unsigned, another date, another packing, or made
# by another toolchain) is a product of its own, which replaces any other of its version; the
# component GUIDs, name-based too, one set per architecture, stable across versions; and the
# package code, made of the same SHA-256. Upper case, as Windows Installer has it.
# usage: identities VERSION ARCH DATE FILE...
identities() {
  python3 - "$UPGRADE_CODE" "$@" <<'PY'
import hashlib, sys, uuid
upgrade, version, arch, files = uuid.UUID(sys.argv[1]), sys.argv[2], sys.argv[3], sys.argv[5:]
digest = hashlib.sha256()
texts = [version, arch, sys.argv[4]]
for data in [text.encode() for text in texts] + [open(f, "rb").read() for f in files]:
    digest.update(len(data).to_bytes(8, "little") + data)
names = ["product %s" % digest.hexdigest()]
names += ["component %s %s" % (name, arch)
          for name in ("exe", "readme", "license", "startmenu", "example", "undo",
                       "checker")]
for name in names:
    print(str(uuid.uuid5(upgrade, name)).upper())
print(str(uuid.UUID(bytes=digest.digest()[:16], version=4)).upper())
PY
}

cmd_msi() {
  local exe=$1 arch=$2 version=$3 docs=$4 out=$5 win64 folder stage
  need_date
  case $arch in
    x64) win64=yes folder=ProgramFiles64Folder ;;
    x86) win64=no folder=ProgramFilesFolder ;;
    *) die "unknown architecture '$arch' (x64 or x86)" ;;
  esac
  local -a docfiles=("$docs/README.txt" "$docs/LICENSE.txt" "$docs/morvane1-example.bat"
    "$docs/morvane1-undo-example.bat")
  local file checker
  checker=$(dirname "$exe")/dospart-check.exe
  for file in "$exe" "$checker" "${docfiles[@]}"; do [[ -f $file ]] || die "missing $file"; done
  local exe_version exe_language checker_version checker_language
  read -r exe_version exe_language < <(exe_version "$exe") || true
  [[ -n ${exe_language:-} ]] || die "cannot read the version record of $exe"
  read -r checker_version checker_language < <(exe_version "$checker") || true
  [[ -n ${checker_language:-} ]] || die "cannot read the version record of $checker"
  # Everything that shapes the bytes: the date, this script, the package's source, the files it
  # holds (the icon is the exe's) and the programs that write it.
  local -a tools id
  mapfile -t tools < <(packing_tools)
  mapfile -t id < <(identities "$version" "$arch" "$SOURCE_DATE_EPOCH" \
    "$PACKAGING_DIR/package.sh" "$PACKAGING_DIR/addmorvane.wxs" "$exe" "${docfiles[@]}" \
    "${tools[@]}" "$checker")
  ((${#id[@]} == 9)) || die "could not make the package's identities"

  # The cabinet keeps each file's time: the files are staged and given the release date.
  stage=$(mktemp -d "${TMPDIR:-/tmp}/addmorvane-msi.XXXXXX")
  # shellcheck disable=SC2064 # the folder is known now
  trap "rm -rf '$stage'" EXIT
  cp "$exe" "$stage/addmorvane.exe"
  cp "$checker" "$stage/dospart-check.exe"
  cp "${docfiles[@]}" "$stage/"
  # Add/Remove Programs shows the exe's own icon: its icon group, as an icon file.
  wrestool -x -t 14 "$exe" >"$stage/addmorvane.ico"
  [[ -s $stage/addmorvane.ico ]] || die "$exe carries no icon"
  touch -d "@$SOURCE_DATE_EPOCH" "$stage"/*

  # The summary's dates are the time wixl and msibuild run, which faketime stops at the release
  # date (a clock that ran on would tick past a second on a busy machine); faketime reads its
  # date in local time, hence UTC.
  local -a at_date=(env TZ=UTC faketime --exclude-monotonic -f
    "$(date -u -d "@$SOURCE_DATE_EPOCH" '+%Y-%m-%d %H:%M:%S')")
  # wixl takes source files by names relative to where it runs.
  cp "$PACKAGING_DIR/addmorvane.wxs" "$stage/"
  (cd "$stage" && "${at_date[@]}" wixl -a "$arch" -o package.msi \
    -D Version="$version" -D ProductCode="${id[0]}" -D UpgradeCode="$UPGRADE_CODE" \
    -D Win64="$win64" -D ProgramFilesFolder="$folder" \
    -D ExeGuid="${id[1]}" -D ReadmeGuid="${id[2]}" -D LicenseGuid="${id[3]}" \
    -D StartMenuGuid="${id[4]}" -D ExampleGuid="${id[5]}" -D UndoGuid="${id[6]}" \
    -D CheckerGuid="${id[7]}" -D Exe=addmorvane.exe -D Readme=README.txt -D License=LICENSE.txt \
    -D Example=morvane1-example.bat -D Undo=morvane1-undo-example.bat \
    -D Checker=dospart-check.exe -D Icon=addmorvane.ico addmorvane.wxs)
  # wixl writes the upgrade row without "up to this version inclusive", so another build of the
  # same version would not replace the one installed: the row is written again with it (0x100
  # minimum inclusive, 0x200 maximum inclusive). And INSTALLDIR joins the secure properties,
  # which wixl makes of the upgrade rows alone, so that a folder given on the command line
  # reaches the elevated part of a per-machine install.
  # The install folder gets its access list (the exe's component creates it; needs Windows
  # Installer 5.0, the package's version 500). A name that is not 8.3 is written as a pair with
  # a short one, as the Filename type wants (ICE03). The exe is a versioned file: its version and
  # language decide over an installed one, and a file hash is only for unversioned files.
  "${at_date[@]}" msibuild "$stage/package.msi" \
    -q "CREATE TABLE \`MsiLockPermissionsEx\` (\`MsiLockPermissionsEx\` CHAR(72) NOT NULL, \
\`LockObject\` CHAR(72) NOT NULL, \`Table\` CHAR(32) NOT NULL, \`SDDLText\` LONGCHAR NOT NULL, \
\`Condition\` CHAR(255) PRIMARY KEY \`MsiLockPermissionsEx\`)" \
    -q "INSERT INTO \`MsiLockPermissionsEx\` (\`MsiLockPermissionsEx\`, \`LockObject\`, \`Table\`, \
\`SDDLText\`) VALUES ('InstallFolder', 'INSTALLDIR', 'CreateFolder', '$FOLDER_SDDL')" \
    -q "UPDATE \`File\` SET \`FileName\` = 'ADDMOR~1.EXE|addmorvane.exe', \
\`Version\` = '$exe_version', \`Language\` = '$exe_language' WHERE \`File\` = 'addmorvane.exe'" \
    -q "DELETE FROM \`MsiFileHash\` WHERE \`File_\` = 'addmorvane.exe'" \
    -q "UPDATE \`File\` SET \`FileName\` = 'DOSPAR~1.EXE|dospart-check.exe', \
\`Version\` = '$checker_version', \`Language\` = '$checker_language' \
WHERE \`File\` = 'dospart_check.exe'" \
    -q "DELETE FROM \`MsiFileHash\` WHERE \`File_\` = 'dospart_check.exe'" \
    -q "UPDATE \`File\` SET \`FileName\` = 'MORVAN~1.BAT|morvane1-example.bat' \
WHERE \`File\` = 'morvane1_example.bat'" \
    -q "UPDATE \`File\` SET \`FileName\` = 'MORVAN~2.BAT|morvane1-undo-example.bat' \
WHERE \`File\` = 'morvane1_undo_example.bat'" \
    -q "UPDATE \`Directory\` SET \`DefaultDir\` = 'ADDMOR~1|addmorvane' \
WHERE \`Directory\` = 'INSTALLDIR'" \
    -q "UPDATE \`Shortcut\` SET \`Name\` = 'ADDMOR~1|addmorvane' WHERE \`Shortcut\` = 'StartMenu'" \
    -q "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'OLDER_FOUND'" \
    -q "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMin\`, \`VersionMax\`, \
\`Attributes\`, \`ActionProperty\`) VALUES ('{$UPGRADE_CODE}', '0.0.0', '$version', 768, \
'OLDER_FOUND')" \
    -q "UPDATE \`Property\` SET \`Value\` = 'INSTALLDIR;ADDMORVANE_ANYFOLDER;OLDER_FOUND;NEWER_FOUND' \
WHERE \`Property\` = 'SecureCustomProperties'" \
    -s "addmorvane $version" "the addmorvane developers" "$(msi_platform "$arch");1033" \
    "{${id[8]}}"
  mv "$stage/package.msi" "$out"
}

# The programs that write the package's bytes: wixl and msibuild, and the libraries they write
# the database and the cabinet with; wrestool, which takes the icon out of the exe. Their files, not their version texts, which the
# libraries lack; the system's C library and the like shape no byte and are left out.
packing_tools() {
  local wixl msibuild wrestool
  wixl=$(command -v wixl) || die "wixl is missing"
  msibuild=$(command -v msibuild) || die "msibuild is missing"
  wrestool=$(command -v wrestool) || die "wrestool is missing"
  printf '%s\n' "$wixl" "$msibuild" "$wrestool"
  ldd "$wixl" "$msibuild" | awk '$1 ~ /^lib(msi|gcab|gsf|z)[-.]/ { print $3 }' | sort -u
}

# The exe's file version and language, from its version record, as the File table wants them
# ("1.0.0.0" and "1033"): Windows Installer compares them with an installed file's.
exe_version() {
  python3 - "$1" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
key = "VS_VERSION_INFO\0".encode("utf-16-le")
start = data.find(key)
fixed = data.find(struct.pack("<I", 0xFEEF04BD), start, start + len(key) + 8) if start >= 0 else -1
if fixed < 0:
    sys.exit("no version record")
ms, ls = struct.unpack_from("<II", data, fixed + 8)
version = "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
key = "Translation\0".encode("utf-16-le")
at = data.find(key, fixed)
if at < 0:
    sys.exit("no translation in the version record")
size = struct.unpack_from("<H", data, at - 4)[0]
value = (at + len(key) + 3) & ~3
languages = struct.unpack_from("<%dH" % (size // 2), data, value)[0::2]
print(version, ",".join(str(language) for language in languages))
PY
}

msi_platform() { if [[ $1 == x64 ]]; then echo x64; else echo Intel; fi; }

# Runs "$@" with the password readable at /dev/fd/3 (a pipe: printf is a shell builtin, so the
# password is on no command line).
with_password() {
  "$@" 3< <(printf '%s' "$ADDMORVANE_SIGN_PASS")
}
need_password() {
  [[ -v ADDMORVANE_SIGN_PASS ]] || die "set ADDMORVANE_SIGN_PASS to the password of the PFX file"
}

# Reads the PFX with openssl pkcs12 and the given options; files from older tools use ciphers
# OpenSSL 3 keeps in its legacy provider, which is tried second.
pfx_read() {
  local pfx=$1 legacy
  shift
  for legacy in '' -legacy; do
    # shellcheck disable=SC2086 # empty or one word
    if with_password openssl pkcs12 $legacy -in "$pfx" -passin fd:3 "$@" 2>/dev/null; then
      return 0
    fi
  done
  die "cannot read $pfx: wrong password (ADDMORVANE_SIGN_PASS), or not a PKCS#12 file"
}

# osslsigncode signs with any certificate, and Windows then rejects the signature; so the
# certificate is judged here first as Windows judges it: the PFX holds the private key and the
# certificate that belongs to it, the certificate is valid now (its start too: -checkend sees
# only the end), and it either names no extended key usage or names code signing.
cmd_check_cert() {
  local pfx=$1 cert start eku
  need_password
  [[ -f $pfx ]] || die "no such PFX file: $pfx"
  cert=$(pfx_read "$pfx" -clcerts -nokeys)
  # Counted, not held: the key goes only through the pipe.
  [[ $(pfx_read "$pfx" -nocerts -nodes | grep -c 'BEGIN .*PRIVATE KEY') != 0 ]] ||
    die "$pfx holds no private key: export the certificate together with its private key"
  [[ $cert == *"BEGIN CERTIFICATE"* ]] || die "$pfx holds no certificate for its private key"
  start=$(openssl x509 -noout -startdate <<<"$cert")
  (($(date -d "${start#notBefore=}" +%s) <= $(date +%s))) ||
    die "the certificate in $pfx is not valid yet ($start)"
  openssl x509 -noout -checkend 0 >/dev/null <<<"$cert" ||
    die "the certificate in $pfx has expired ($(openssl x509 -noout -enddate <<<"$cert"))"
  eku=$(openssl x509 -noout -ext extendedKeyUsage 2>/dev/null <<<"$cert")
  [[ -z $eku || $eku == *"Code Signing"* ]] ||
    die "the certificate in $pfx is not for code signing (extended key usage without Code Signing)"
  openssl x509 -noout -enddate <<<"$cert"
}

cmd_sign() {
  local pfx=$1 in=$2 out=$3 url=${4:-} tmp
  need_date
  need_password
  local -a stamp=()
  [[ -z $url ]] || stamp=(-ts "$url")
  tmp=$out.partial
  rm -f "$tmp"
  # The signing time is the release date, so that one key and one commit give one result.
  if ! with_password osslsigncode sign -pkcs12 "$pfx" -readpass /dev/fd/3 -h sha256 \
    -n addmorvane -time "$SOURCE_DATE_EPOCH" "${stamp[@]}" -in "$in" -out "$tmp" >/dev/null; then
    rm -f "$tmp"
    die "signing $in failed"
  fi
  mv "$tmp" "$out"
}

if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
  command=${1:-}
  shift || true
  case $command:$# in
    docs:2) cmd_docs "$@" ;;
    msi:5) cmd_msi "$@" ;;
    check-cert:1) cmd_check_cert "$@" ;;
    sign:3 | sign:4) cmd_sign "$@" ;;
    *) die "usage: see the top of ${BASH_SOURCE[0]}" ;;
  esac
fi
