#include "Testdaten.h"

#include <QFile>
#include <QStringList>

QByteArray Bytes(std::initializer_list<int> werte) {
    QByteArray a;
    for (int w : werte)
        a.append(char(w));
    return a;
}

QByteArray BytesVon(const Befehl &befehl) {
    QByteArray a;
    for (const Befehlsschritt &s : befehl)
        if (s.art == Befehlsschritt::Art::Byte)
            a.append(char(s.wert));
    return a;
}

Befehl BefehlAus(const QByteArray &bytes) {
    Befehl b;
    for (char c : bytes)
        sende(b, quint8(c));
    return b;
}

Befehl Gebaut(const std::optional<Befehl> &befehl) {
    return befehl.value_or(Befehl{});
}

QString Ablauf(const Befehl &befehl) {
    QStringList teile;
    for (const Befehlsschritt &s : befehl)
        teile << (s.art == Befehlsschritt::Art::Byte ? QString::number(s.wert)
                  : s.art == Befehlsschritt::Art::Pause
                      ? QString::number(s.sekunden * 1000, 'g', 12) + "ms"
                      : QStringLiteral("#%1").arg(s.marke));
    return teile.join(QLatin1Char(' '));
}

Satzwerte Testsatz(qint64 schritte, int startfrequenz, int maximalfrequenz, int durchlaeufe,
                   int pause, int richtung, bool umkehr, int rampe) {
    return {schritte, startfrequenz, maximalfrequenz, durchlaeufe, pause, richtung, umkehr, rampe};
}

QByteArray DateiInhalt(const QString &pfad) {
    QFile datei(pfad);
    if (!datei.open(QIODevice::ReadOnly))
        return QByteArray("<nicht lesbar>");
    return datei.readAll();
}

bool DateiSchreiben(const QString &pfad, const QByteArray &daten) {
    QFile datei(pfad);
    return datei.open(QIODevice::WriteOnly) && datei.write(daten) == daten.size();
}

QList<QStringList> Faelle(const QString &tabelle) {
    QList<QStringList> fälle;
    for (const QString &fall : tabelle.split(QLatin1Char('|')))
        fälle.append(fall.split(QLatin1Char(';')));
    return fälle;
}

std::vector<Satzwerte> Dauerlaufsaetze() {
    std::vector<Satzwerte> werte;
    for (int i = 0; i < 20; ++i)
        werte.push_back(Testsatz(i == 19 ? HoechsteSchrittzahl : 1000 + 12345 * i, 100 + 50 * i,
                                 600 + 550 * i, 1 + 13 * i, 13 * i, i % 2 == 0 ? 1 : 0, i % 3 == 0,
                                 1 + i % 4));
    return werte;
}

Dateizugriff::ProgrammFelder Dauerlaufprogramm() {
    Dateizugriff::ProgrammFelder p{
        QStringLiteral("3"), QStringLiteral("25"), QStringLiteral("7"), {}};
    for (const Satzwerte &s : Dauerlaufsaetze())
        p.sätze.append({QString::number(s.schritte), QString::number(s.startfrequenz),
                        QString::number(s.maximalfrequenz), QString::number(s.durchlaeufe),
                        QString::number(s.pause), s.richtungsumkehr, s.richtung == 1, s.rampe});
    return p;
}
