#include "dialogs/FormReferenzfahrt.h"

#include "dialogs/Handbefehle.h"
#include "gestaltung/Dialoggestaltung.h"
#include "gestaltung/Linie.h"
#include "link/MsTimer.h"
#include "link/Protokoll.h"
#include "link/SerielleSchnittstelle.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

using namespace Dialoggestaltung;

namespace {

const QString Titel = QStringLiteral("Eingabefehler");

QPoint punkt(int x, int y) {
    return {x / TwipsProPixel, y / TwipsProPixel};
}

} // namespace

FormReferenzfahrt::FormReferenzfahrt(Dialogumgebung &umgebung) : Handdialog(umgebung) {
    setObjectName(QStringLiteral("FormReferenzfahrt"));
    setWindowTitle(Fenstertitel(63, QStringLiteral("Referenzfahrt")));
    FensterAnlegen(this, TwipsGroesse(6465, 2670));
    Aufbauen();
    ZeichnungAufbauen();
    Zentrieren(this);
}

FormReferenzfahrt::~FormReferenzfahrt() {
    // Only when the main window goes away with the dialog still open.
    SerielleSchnittstelle *p = portFallsVorhanden();
    if (istBeendet() || !p || !p->istOffen() || p->beschaeftigt())
        return;
    if (m_zustand == Zustand::Laeuft)
        p->SendeBytes(QByteArray(5, char(Befehlsbyte::Stopp)));
    p->schliessen();
}

void FormReferenzfahrt::Aufbauen() {
    CommandOK = Knopf(this, "CommandOK", QStringLiteral("Zurück"), Twips(2565, 1980, 1365, 510));
    CommandReferenzLinks =
        Knopf(this, "CommandReferenzLinks", QStringLiteral("<<"), Twips(1260, 945, 1860, 420));
    CommandReferenzRechts =
        Knopf(this, "CommandReferenzRechts", QStringLiteral(">>"), Twips(3375, 945, 1860, 420));

    TextFrequenz = Eingabefeld(this, "TextFrequenz", Twips(3375, 1440, 1275, 420));
    TextFrequenz->setText(QStringLiteral("200"));

    LabelFrequenz = Beschriftung(this, "LabelFrequenz", QStringLiteral("Frequenz:"),
                                 Twips(1665, 1485, 1410, 330), Qt::AlignRight | Qt::AlignTop);
    LabelEinheitFrequenz = Beschriftung(this, "LabelEinheitFrequenz", QStringLiteral("Hz"),
                                        Twips(4725, 1485, 465, 330), Qt::AlignLeft | Qt::AlignTop);

    setTabOrder(CommandOK, CommandReferenzLinks);
    setTabOrder(CommandReferenzLinks, CommandReferenzRechts);
    setTabOrder(CommandReferenzRechts, TextFrequenz);
    CommandOK->setFocus();

    // The direction buttons answer to the mouse only; they have no click action.
    BewegungsknopfAnmelden(CommandReferenzLinks);
    BewegungsknopfAnmelden(CommandReferenzRechts);
    connect(CommandOK, &QPushButton::clicked, this, [this] {
        Rahmen rahmen(*this);
        VerlassenAnfordern();
    });
}

void FormReferenzfahrt::ZeichnungAufbauen() {
    auto linie = [this](const char *name, QPoint von, QPoint bis, QColor farbe = Qt::black,
                        int breite = 1) {
        auto *l = new Linie(QString::fromUtf8(name), this, von, bis, farbe, breite);
        l->lower();
        return l;
    };
    // The travel axis with a switch (red, slanted) and a stop at either end.
    Line1 = linie("Line1", punkt(1305, 585), punkt(4995, 585));
    Line2 = linie("Line2", punkt(1260, 765), punkt(1440, 405), Qt::red, 2);
    Line3 = linie("Line3", punkt(5040, 765), punkt(4860, 405), Qt::red, 2);
    Line4 = linie("Line4", punkt(1170, 450), punkt(1170, 720));
    Line5 = linie("Line5", punkt(1080, 585), punkt(1170, 585));
    Line6 = linie("Line6", punkt(5130, 450), punkt(5130, 720));
    Line7 = linie("Line7", punkt(5130, 585), punkt(5220, 585));
    // Arrows to either side of the carriage.
    Line8 = linie("Line8", punkt(2385, 405), punkt(2985, 405));
    Line9 = linie("Line9", punkt(2385, 405), punkt(2520, 315));
    Line10 = linie("Line10", punkt(2385, 405), punkt(2520, 495));
    Line11 = linie("Line11", punkt(3495, 405), punkt(4095, 405));
    Line12 = linie("Line12", punkt(4095, 405), punkt(3960, 315));
    Line13 = linie("Line13", punkt(4095, 405), punkt(3960, 495));

    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(Twips(3105, 180, 285, 420));
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void FormReferenzfahrt::Laden() {
    // A port that does not open is reported once by the link; the dialog then sends nothing.
    port().oeffnen(true);
}

void FormReferenzfahrt::Gedrueckt(QPushButton *knopf, const QMouseEvent &ereignis) {
    if (m_halt) {
        // A further mouse button on the held button belongs to the same hold.
        if (ereignis.buttons() & ~ereignis.button())
            return;
        // Only this button is down, so the release of the earlier press never came.
        HaltAufgeben();
    }
    if (m_verlassen || m_zustand != Zustand::Bereit)
        return;
    const Fahrtrichtung richtung =
        knopf == CommandReferenzRechts ? Fahrtrichtung::Rechts : Fahrtrichtung::Links;
    const Handpruefung pruefung = ReferenzfahrtPruefen(richtung, TextFrequenz->text());
    if (!pruefung.ok()) {
        // The message box takes the mouse; this press needs no stop, and the button does not
        // take it, so it is not left drawn pressed.
        DruckVerwerfen();
        umgebung().Meldung(pruefung.meldung, Titel);
        return;
    }
    m_halt = knopf;
    if (!port().istOffen())
        return;
    port().setBewegungBis(SerielleSchnittstelle::BisZumStopp);
    if (port().Abspielen(*pruefung.befehl))
        m_zustand = Zustand::Laeuft;
    else
        port().setBewegungBis(0);
}

void FormReferenzfahrt::Losgelassen(QPushButton *knopf, const QMouseEvent &) {
    if (m_halt != knopf)
        return;
    m_halt = nullptr;
    if (m_zustand != Zustand::Stoppt)
        Stoppen();
}

void FormReferenzfahrt::HaltVerloren(QPushButton *knopf) {
    if (!m_halt || (knopf && knopf != m_halt))
        return;
    HaltAufgeben();
}

void FormReferenzfahrt::HaltAufgeben() {
    m_halt = nullptr;
    if (m_zustand == Zustand::Laeuft)
        Stoppen();
}

void FormReferenzfahrt::Stoppen() {
    m_zustand = Zustand::Stoppt;
    CommandReferenzLinks->setEnabled(false);
    CommandReferenzRechts->setEnabled(false);
    // The stop bytes with their short pauses always go out in full; the long pause after the
    // last one only keeps the buttons disabled and is cut short when the dialog is left.
    Befehl stopp = ReferenzfahrtStopp();
    double nachlauf = 0;
    if (!stopp.empty() && stopp.back().art == Befehlsschritt::Art::Pause) {
        nachlauf = stopp.back().sekunden;
        stopp.pop_back();
    }
    const bool gestoppt = port().istOffen() && port().Abspielen(stopp);
    if (gestoppt)
        port().setBewegungBis(0);
    if (gestoppt && !m_verlassen)
        MsTimer::WartenBis(MsTimer::Uhr() + nachlauf,
                           [this] { return m_verlassen || !port().istOffen(); });
    CommandReferenzLinks->setEnabled(true);
    CommandReferenzRechts->setEnabled(true);
    m_zustand = Zustand::Bereit;
}

void FormReferenzfahrt::VerlassenAnfordern() {
    if (istBeendet())
        return;
    const bool erstesMal = !m_verlassen;
    m_verlassen = true;
    if (erstesMal && m_zustand == Zustand::Laeuft) {
        // Leaving with a direction button held stops the motor as its release would.
        m_halt = nullptr;
        Stoppen();
    } else {
        MsTimer::Aufwecken(); // ends the pause of a running stop sequence
    }
}

void FormReferenzfahrt::Ruhelage() {
    if (m_verlassen && m_zustand == Zustand::Bereit)
        Abschliessen();
}

void FormReferenzfahrt::Abschliessen() {
    port().schliessen();
    Beenden();
    umgebung().DialogGeschlossen();
}
