#!/usr/bin/env bash
# Installs the way a user's machine would: cmake --install into a scratch
# prefix is validated (desktop entry, AppStream metainfo, icons), then CPack's
# .deb is unpacked into a scratch root and the installed renderer renders the
# example form exactly as the build's renderer does.
set -euo pipefail
src=${QS_SOURCE_DIR:?}
build=${QS_BUILD_DIR:?}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/prefix" >/dev/null
for f in bin/quillsmith bin/quillsmith-render share/applications/org.example.Quillsmith.desktop \
         share/metainfo/org.example.Quillsmith.metainfo.xml; do
  [[ -e "$work/prefix/$f" ]] || fail "not installed: $f"
done
for size in 16 24 32 48 64 128 256; do
  icon="$work/prefix/share/icons/hicolor/${size}x${size}/apps/org.example.Quillsmith.png"
  [[ -f $icon ]] || fail "no ${size}px icon"
  [[ $(/usr/bin/identify -format '%wx%h' "$icon") == "${size}x${size}" ]] || fail "${size}px icon has the wrong size"
done
desktop-file-validate "$work/prefix/share/applications/org.example.Quillsmith.desktop"
# A double-click on a form file opens it: the entry takes the form's type,
# and the type is declared.
grep -qx 'MimeType=application/x-quillsmith-form;' "$work/prefix/share/applications/org.example.Quillsmith.desktop" ||
  fail "the desktop entry does not take form files"
grep -q 'type="application/x-quillsmith-form"' "$work/prefix/share/mime/packages/org.example.Quillsmith.xml" ||
  fail "the form file's MIME type is not installed"
appstreamcli validate --no-net "$work/prefix/share/metainfo/org.example.Quillsmith.metainfo.xml"

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null)
deb=$(ls "$work"/deb/*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
[[ $depends == *libqt6widgets6* ]] || fail "the package does not depend on Debian's Qt 6 widgets runtime"
dpkg -x "$deb" "$work/root"

# The example form, rendered by the installed program and by the build's.
mkdir -p "$work/a/out" "$work/b/out"
for side in a b; do cp -r "$src/examples/screenshots" "$work/$side/"; done
"$work/root/usr/bin/quillsmith-render" --form "$src/examples/example-form.json" --output "$work/a/out/ReadMe.htm"
"$build/app/render/quillsmith-render" --form "$src/examples/example-form.json" --output "$work/b/out/ReadMe.htm"
diff -r "$work/a/out" "$work/b/out" || fail "the installed renderer writes something else"
[[ -s "$work/a/out/ReadMe.htm" && -s "$work/a/out/files/images/img_bk_0.jpg" ]] || fail "nothing rendered"
echo "package installs and renders"
