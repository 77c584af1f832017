#!/usr/bin/env bash
# Installs the way a user's machine would: cmake --install into a scratch
# prefix is validated (desktop entry, AppStream metainfo, icons), then CPack's
# .deb is checked by lintian, unpacked into a scratch root, and held against
# what its programs load: every library an installed binary links and every
# Qt plugin and translation the running window maps must come from a package
# the control file names. The installed renderer renders the example form
# exactly as the build's renderer does, and every place that shows the
# version shows the project's.
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

# --- AppStream: valid without a warning, and its screenshots are ours ------
metainfo="$work/prefix/share/metainfo/org.example.Quillsmith.metainfo.xml"
appstreamcli validate --no-net "$metainfo" | tee "$work/appstream.txt" || fail "appstreamcli validate failed"
! grep -E '^[EW]:' "$work/appstream.txt" >/dev/null || fail "appstreamcli validate warns"
# Each picture is addressed where the repository's own file would be
# published, and is one the README shows.
shots=$(sed -n 's|.*<image type="source">https://quillsmith\.example\.org/\([^<]*\)</image>.*|\1|p' "$metainfo")
[[ $(grep -c '<image' "$metainfo") -ge 3 && $(wc -l <<<"$shots") == $(grep -c '<image' "$metainfo") ]] ||
  fail "the metainfo's screenshots are not all at https://quillsmith.example.org/"
for shot in $shots; do
  [[ -f "$src/$shot" ]] || fail "screenshot $shot is not in the repository"
  grep -qF "($shot)" "$src/README.md" || fail "screenshot $shot is not a picture of the README"
done

# --- The package: lintian accepts it --------------------------------------
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null)
deb=$(ls "$work"/deb/*.deb)
lintian --fail-on error,warning "$deb" || fail "lintian reports errors or warnings"
echo "lintian: no error, no warning"
dpkg -x "$deb" "$work/root"

# --- Depends against what the programs load ------------------------------
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
[[ $depends == *libqt6widgets6* ]] || fail "the package does not depend on Debian's Qt 6 widgets runtime"
# The names alone: no versions, no architecture, alternatives each.
declare -A depended=()
while read -r name; do
  [[ -n $name ]] && depended[$name]=1
done < <(tr ',|' '\n\n' <<<"$depends" | sed 's/(.*)//; s/:.*//; s/[[:space:]]//g')

# The package that installed a system file; ldd may name it through a
# merged-/usr link that dpkg knows under the other spelling.
owner() {
  local path=$1 found
  for p in "$path" "$(realpath "$path")" "/usr${path#/usr}" "${path#/usr}"; do
    found=$(dpkg -S "$p" 2>/dev/null | head -n 1) && [[ -n $found ]] && { echo "${found%%[:,]*}"; return; }
  done
  return 1
}
needs_package() {  # what needs it, the file, the package that must be named
  [[ -n ${depended[$3]:-} ]] || fail "$1 needs $2 of package $3, which Depends does not name"
}

elves=0
while IFS= read -r -d '' file; do
  [[ $(head -c 4 "$file" | od -An -tx1 | tr -d ' ') == 7f454c46 ]] || continue
  elves=$((elves + 1))
  name=${file#"$work/root"}
  ldd "$file" >"$work/ldd.txt" || fail "ldd cannot read $name"
  ! grep 'not found' "$work/ldd.txt" || fail "$name links a library that is nowhere"
  # The libraries it links itself; each of theirs is their package's concern.
  for lib in $(readelf -d "$file" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    path=$(awk -v lib="$lib" '$1 == lib && $2 == "=>" { print $3 }' "$work/ldd.txt")
    [[ -n $path ]] || fail "ldd does not say where $name finds $lib"
    [[ $path == "$work/root"/* ]] && continue  # the package's own
    package=$(owner "$path") || fail "no package owns $path, which $name links"
    needs_package "$name" "$lib" "$package"
  done
done < <(find "$work/root" -type f -print0)
((elves >= 2)) || fail "the package holds $elves programs"

# The window, started from the unpacked package under X: the platform
# plugin it opens the window with, the other plugins it loads and Qt's
# Russian texts must all come with the package's dependencies.
XDG_STATE_HOME="$work/state" HOME="$work/home" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -n 110 bash -c '
    "$1" & pid=$!
    timeout 30 xdotool search --sync --onlyvisible --name "^Quillsmith" >/dev/null || true
    sleep 1
    cp "/proc/$pid/maps" "$2" || true
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true' \
  _ "$work/root/usr/bin/quillsmith" "$work/maps"
[[ -s "$work/maps" ]] || fail "the installed program did not start"
mapped=$(awk '$6 ~ /^\// { print $6 }' "$work/maps" | sort -u)
grep -q '/platforms/libqxcb\.so$' <<<"$mapped" || fail "the window did not load the xcb platform plugin"
grep -q '/qtbase_ru\.qm$' <<<"$mapped" || fail "the window did not load Qt's Russian texts"
for path in $(grep -E '/qt6/(plugins|translations)/' <<<"$mapped"); do
  package=$(owner "$path") || fail "no package owns $path, which the window loaded"
  needs_package quillsmith "$path" "$package"
done

# --- One version everywhere -------------------------------------------
version=$(dpkg-deb -f "$deb" Version)
project=$(sed -n 's/^project(Quillsmith VERSION \([0-9.]*\) .*/\1/p' "$src/CMakeLists.txt")
[[ $version == "$project" ]] || fail "the package's version $version is not the project's $project"
[[ $("$work/root/usr/bin/quillsmith-render" --version) == "quillsmith-render $version" ]] ||
  fail "quillsmith-render --version does not say $version"
"$work/root/usr/bin/quillsmith-render" --help | grep -q -- '--version' || fail "the renderer's --help does not list --version"
# The manual page describes every option the renderer's usage names.
zcat "$work/root/usr/share/man/man1/quillsmith-render.1.gz" >"$work/render.1"
for option in $("$work/root/usr/bin/quillsmith-render" --help | grep -o -- '--[a-z-]*' | sort -u); do
  grep -qF -- "${option//-/\\-}" "$work/render.1" ||
    fail "the renderer's manual page does not describe $option"
done
# No window and no display for --version: with xcb and nowhere to connect
# to, Qt would abort.
[[ $(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$work/root/usr/bin/quillsmith" --version) == \
   "quillsmith $version" ]] || fail "quillsmith --version does not say $version"
release=$(grep -m 1 -o '<release version="[^"]*" date="[^"]*"' "$metainfo")
zcat "$work/root/usr/share/doc/quillsmith/changelog.gz" >"$work/changelog"
changed=$(dpkg-parsechangelog -l "$work/changelog" -S Version)
[[ $release == "<release version=\"$version\" date=\"$(date -u -d "$(dpkg-parsechangelog -l "$work/changelog" -S Date)" +%F)\"" ]] ||
  fail "the newest AppStream release ($release) is not the package's $version of the changelog's day"
[[ $changed == "$version" ]] || fail "the changelog's newest entry is $changed, the package $version"
# The About page's licence and the user guide name the version; so does the
# banner's drawing.
grep -q "Quillsmith $version\$" "$src/resources/documents/license.txt" || fail "the licence does not name $version"
grep -q "^# Quillsmith $version\$" "$src/resources/documents/help.txt" || fail "the user guide does not name $version"
grep -qF "'$version'" "$src/tools/make_banner.sh" || fail "the banner does not show $version"
grep -q "Quillsmith $version\$" "$work/root/usr/share/doc/quillsmith/copyright" || fail "the copyright file's licence is not the About page's"
echo "version $version everywhere"

# --- The example form, rendered by the installed program and by the build's.
mkdir -p "$work/a/out" "$work/b/out"
for side in a b; do cp -r "$src/examples/screenshots" "$work/$side/"; done
"$work/root/usr/bin/quillsmith-render" --form "$src/examples/example-form.json" --output "$work/a/out/ReadMe.htm"
"$build/app/render/quillsmith-render" --form "$src/examples/example-form.json" --output "$work/b/out/ReadMe.htm"
diff -r "$work/a/out" "$work/b/out" || fail "the installed renderer writes something else"
[[ -s "$work/a/out/ReadMe.htm" && -s "$work/a/out/files/images/img_bk_0.jpg" ]] || fail "nothing rendered"
echo "package installs and renders"
