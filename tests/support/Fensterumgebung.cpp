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

QStringList Gestaltabweichungen(const QWidget *dialog, const QList<Steuerelement> &soll) {
    QStringList fehler;
    for (const Steuerelement &s : soll) {
        const QString name = QString::fromUtf8(s.name), text = QString::fromUtf8(s.text);
        const auto *w = dialog->findChild<QWidget *>(name);
        const auto pruefen = [&](bool gleich, const char *was) {
            if (!gleich)
                fehler << name + QStringLiteral(": ") + QString::fromUtf8(was);
        };
        if (!w) {
            pruefen(false, "fehlt");
            continue;
        }
        const QRect &r = s.twips;
        pruefen(w->geometry() == QRect(r.x() / 15, r.y() / 15, r.width() / 15, r.height() / 15),
                "Lage");
        auto *k = qobject_cast<const QAbstractButton *>(w);
        auto *l = qobject_cast<const QLabel *>(w);
        auto *f = qobject_cast<const QLineEdit *>(w);
        pruefen((k ? k->text() : l ? l->text() : f ? f->text() : text) == text, "Text");
        // Buttons 9.75 pt; labels with text, fields and lists 12 pt in dark blue; all but the
        // lists and the small option buttons bold.
        const bool knopf = qobject_cast<const QPushButton *>(w);
        const bool gross = (l && !text.isEmpty()) || f || qobject_cast<const QComboBox *>(w);
        if (!knopf && !gross)
            continue;
        pruefen(w->font().family() == QStringLiteral("Arial"), "Schriftart");
        pruefen(w->font().pointSizeF() == (knopf ? 9.75 : 12.0), "Schriftgröße");
        pruefen(qobject_cast<const QComboBox *>(w) || w->font().bold(), "fett");
        if (gross)
            pruefen(w->palette().color(l ? QPalette::WindowText : QPalette::Text) ==
                        QColor(0, 0, 128),
                    "Farbe");
        pruefen(!f || f->alignment() & Qt::AlignHCenter, "zentriert");
    }
    return fehler;
}

QStringList Tababweichungen(const QList<QWidget *> &kette) {
    QStringList fehler;
    for (int i = 0; i < kette.size(); ++i) {
        QWidget *naechster = kette[i]->nextInFocusChain();
        while (naechster != kette[i] && !(naechster->focusPolicy() & Qt::TabFocus))
            naechster = naechster->nextInFocusChain();
        QWidget *soll = kette[(i + 1) % kette.size()];
        if (naechster != soll)
            fehler << kette[i]->objectName() + QStringLiteral(" -> ") + naechster->objectName() +
                          QStringLiteral(" statt ") + soll->objectName();
    }
    return fehler;
}
