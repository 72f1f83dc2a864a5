// A 20-block program transfer through the serial link to a pseudo-terminal, repeated:
//
//   transfer blocks=20 bytes=205 pauses_s=1.424 wall_s=1.431 ratio=1.005 cpu_pct=9
//
// pauses_s: the sum of the pauses the protocol asks for; wall_s: how long the transfer took;
// cpu_pct: process CPU time over wall time.
#include "Messung.h"
#include "PtyPaar.h"

#include "link/MsTimer.h"
#include "link/Protokoll.h"
#include "link/SerielleSchnittstelle.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int wiederholungen = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    PtyPaar pty;
    SerielleSchnittstelle link;

    std::vector<Satzwerte> saetze;
    for (int i = 0; i < 20; ++i) {
        Satzwerte s;
        s.schritte = 5000 + 1000 * i;
        s.startfrequenz = 300;
        s.maximalfrequenz = 4000 + 100 * i;
        s.durchlaeufe = 1;
        s.pause = 10;
        s.richtung = i % 2;
        s.rampe = 1 + i % 4;
        saetze.push_back(s);
    }
    const std::optional<Befehl> befehl = Programmuebertragung({1, 10, 10}, saetze);
    if (!befehl)
        return 1;
    double pausen = 0;
    int bytes = 0;
    for (const Befehlsschritt &s : *befehl) {
        if (s.art == Befehlsschritt::Art::Pause)
            pausen += s.sekunden;
        else if (s.art == Befehlsschritt::Art::Byte)
            ++bytes;
    }
    for (int i = 0; i < wiederholungen; ++i) {
        const double cpu0 = cpuSekunden(), wand0 = MsTimer::Uhr();
        const bool ok = link.Sendevorgang(*befehl);
        const double wand = MsTimer::Uhr() - wand0, cpu = cpuSekunden() - cpu0;
        const int empfangen = int(pty.lesenBisRuhe(50).size());
        if (!ok || empfangen != bytes) {
            std::fprintf(stderr, "Übertragung fehlgeschlagen (%d von %d Bytes)\n", empfangen,
                         bytes);
            return 1;
        }
        std::printf("transfer blocks=20 bytes=%d pauses_s=%.3f wall_s=%.3f ratio=%.3f "
                    "cpu_pct=%.0f\n",
                    bytes, pausen, wand, wand / pausen, 100.0 * cpu / wand);
        std::fflush(stdout);
    }
    return 0;
}
