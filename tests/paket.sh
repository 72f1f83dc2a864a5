#!/usr/bin/env bash
# Builds the Debian package from a build tree and checks what it installs and what it needs.
#   tests/paket.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
bau=$1
quelle=$2
ziel=$bau/paket-test
rm -rf "$ziel"
cpack --config "$bau/CPackConfig.cmake" -G DEB -B "$ziel" >"$bau/paket-test.log"
deb=$(ls "$ziel"/zelkor_*.deb)
fehler=0
inhalt=$(dpkg-deb -c "$deb" | awk '{print $6}')
for pfad in ./usr/bin/zelkor ./usr/bin/zelkor-sim ./usr/bin/zelkorctl ./usr/share/applications/zelkor.desktop \
    ./usr/share/icons/hicolor/scalable/apps/zelkor.svg ./usr/share/doc/zelkor/README.md; do
    grep -qx -- "$pfad" <<<"$inhalt" || { echo "fehlt im Paket: $pfad"; fehler=1; }
done
# Nothing of the build or the tests goes along.
if grep -E 'tst_|bench_|\.a$|/include/' <<<"$inhalt"; then
    echo "gehört nicht ins Paket (oben)"; fehler=1
fi
abhaengig=$(dpkg-deb -f "$deb" Depends)
namen=$(tr ',' '\n' <<<"$abhaengig" | sed 's/(.*//; s/ //g')
for p in fonts-liberation libqt6widgets6 libqt6serialport6 libqt6core6 libc6 libstdc++6; do
    grep -qxF -- "$p" <<<"$namen" || { echo "Abhängigkeit fehlt: $p"; fehler=1; }
done
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/applications/zelkor.desktop >"$ziel/zelkor.desktop"
desktop-file-validate "$ziel/zelkor.desktop" || fehler=1
[ "$fehler" -eq 0 ] && echo "Paket in Ordnung: $(basename "$deb"), hängt ab von: $abhaengig"
exit "$fehler"
