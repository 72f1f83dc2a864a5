#include "Fensterumgebung.h"

#include "Testdaten.h"

#include "files/Programmverzeichnis.h"
#include "link/SerielleSchnittstelle.h"
#include "model/Globale.h"
#include "model/NamesData.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

std::unique_ptr<PCSteuerung> HauptfensterStarten() {
    StartAbgeschlossen = false;
    auto fenster = std::make_unique<PCSteuerung>();
    fenster->show();
    fenster->Laden();
    return fenster;
}

Fensterumgebung::Fensterumgebung(const QByteArray &portdatei) {
    if (!portdatei.isEmpty())
        DateiSchreiben(ProgrammDateipfad(QStringLiteral("port.txt")), portdatei);
    fenster = HauptfensterStarten();
    mitschnitt = std::make_unique<Mitschnitt>(*fenster->MSComm1);
}

bool Fensterumgebung::dialogBeendet() {
    return QTest::qWaitFor([this] { return !fenster->offenerDialog(); }) && fenster->isEnabled() &&
           !fenster->MSComm1->istOffen();
}

bool Fensterumgebung::nichtsGesendet() {
    return mitschnitt->anzahl() == 0 && pty.lesen(0, 30).isEmpty() &&
           !fenster->MSComm1->istOffen() && fenster->CommandProgrammieren->isEnabled() &&
           fenster->CommandSatzstart->isEnabled();
}

bool Fensterumgebung::haltWegnehmen(QWidget *dialog, const QString &wie) {
    if (wie == QLatin1String("schliessen")) {
        dialog->close();
    } else if (wie == QLatin1String("verstecken")) {
        dialog->hide();
    } else {
        m_anderesFenster = std::make_unique<QWidget>();
        m_anderesFenster->show();
        m_anderesFenster->activateWindow();
        return QTest::qWaitForWindowActive(m_anderesFenster.get());
    }
    return true;
}

void Fensterumgebung::saetzeAnlegen(int anzahl, const QString &schritte) {
    NamesData *daten = fenster->namesData();
    while (daten->tabellenzeilen() < anzahl)
        daten->setData(daten->index(daten->tabellenzeilen(), 0), schritte);
}

bool Fensterumgebung::dateidialog(QAction *aktion, const QString &pfad) {
    Dateidialogantwort antwort(pfad);
    aktion->trigger();
    return antwort.beantwortet();
}

QByteArray Fensterumgebung::nachlauf(int ms) {
    QTest::qWait(ms);
    return pty.lesen();
}

QStringList Fensterumgebung::meldungen() const {
    QStringList liste;
    for (const Nachrichtenfaenger::Nachricht &n : nachrichten.nachrichten())
        liste << n.titel + QStringLiteral(": ") + n.text;
    return liste;
}

QStringList Schriftabweichungen(const QWidget *dialog) {
    QStringList fehler;
    for (const QWidget *w : dialog->findChildren<QWidget *>()) {
        auto *l = qobject_cast<const QLabel *>(w);
        auto *f = qobject_cast<const QLineEdit *>(w);
        const bool knopf = qobject_cast<const QPushButton *>(w);
        const bool liste = qobject_cast<const QComboBox *>(w);
        if (!knopf && !liste && !f && !(l && !l->text().isEmpty()))
            continue;
        const QFont &s = w->font();
        // Buttons 9.75 pt; labels, fields and lists 12 pt in dark blue; all but lists bold.
        const bool gut = s.family() == QStringLiteral("Arial") &&
                         s.pointSizeF() == (knopf ? 9.75 : 12.0) && (liste || s.bold()) &&
                         (knopf || w->palette().color(l ? QPalette::WindowText : QPalette::Text) ==
                                       QColor(0, 0, 128)) &&
                         (!f || f->alignment() & Qt::AlignHCenter);
        if (!gut)
            fehler << w->objectName();
    }
    return fehler;
}
