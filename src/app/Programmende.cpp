#include "app/Programmende.h"

#include "app/PCSteuerung.h"
#include "dialogs/Handdialog.h"
#include "link/Plattform.h"
#include "link/SerielleSchnittstelle.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QSocketNotifier>
#include <QThread>

#include <csignal>

namespace {

constexpr int TaktMs = 10;

} // namespace

Programmende::Programmende() {
    const int rohr = Plattform::SignaleAlsBytes({SIGTERM, SIGINT, SIGHUP});
    if (rohr >= 0) {
        m_melder = new QSocketNotifier(rohr, QSocketNotifier::Read, this);
        connect(m_melder, &QSocketNotifier::activated, this, &Programmende::signalGekommen);
    }
    // The beat only queues the next step, so a step that waits does not hold the beat up.
    m_takt.setInterval(TaktMs);
    connect(&m_takt, &QTimer::timeout, this, &Programmende::weiter, Qt::QueuedConnection);
}

Programmende::~Programmende() {
    Plattform::SignaleZuruecksetzen({SIGTERM, SIGINT, SIGHUP});
}

void Programmende::ueberwachen(PCSteuerung &fenster) {
    m_fenster = &fenster;
    if (m_signale > 0)
        QMetaObject::invokeMethod(this, &Programmende::weiter, Qt::QueuedConnection);
}

void Programmende::signalGekommen() {
    while (Plattform::NaechstesSignal() != 0)
        ++m_signale;
    if (m_signale == 0)
        return;
    m_takt.start();
    QMetaObject::invokeMethod(this, &Programmende::weiter, Qt::QueuedConnection);
}

void Programmende::weiter() {
    if (!m_fenster || m_signale == 0 || m_fertig)
        return;
    PCSteuerung &fenster = *m_fenster;
    SerielleSchnittstelle &port = *fenster.MSComm1;

    if (auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
        modal->reject();
        return;
    }
    QWidget *dialog = fenster.offenerDialog();
    const bool handdialog = qobject_cast<Handdialog *>(dialog) != nullptr;
    if (port.beschaeftigt()) {
        if (m_signale > 1 && !handdialog)
            port.schliessen(); // the command ends at its next pause, with nothing more sent
        return;
    }
    if (dialog) {
        if (m_dialogGefragt < m_signale) {
            m_dialogGefragt = m_signale;
            // A manual dialog takes the close box as its "Zurück", also while it is already
            // leaving (close() would not ask it a second time); the others simply close.
            if (handdialog) {
                QCloseEvent schliessen;
                QCoreApplication::sendEvent(dialog, &schliessen);
            } else {
                dialog->close();
            }
        }
        return;
    }
    // A handler that still waits further down returns first.
    if (QThread::currentThread()->loopLevel() > 1)
        return;
    m_fertig = true;
    m_takt.stop();
    fenster.OhneFrageSchliessen();
}
