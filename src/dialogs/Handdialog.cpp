#include "dialogs/Handdialog.h"

#include "link/SerielleSchnittstelle.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPushButton>

Handdialog::Handdialog(Dialogumgebung &umgebung)
    : QWidget(nullptr, Qt::Dialog), m_umgebung(umgebung), m_port(umgebung.serielleSchnittstelle()) {
}

Handdialog::~Handdialog() = default;

Handdialog::Rahmen::Rahmen(Handdialog &dialog) : m_dialog(dialog) {
    ++m_dialog.m_tiefe;
}

Handdialog::Rahmen::~Rahmen() {
    m_dialog.rahmenEnde();
}

void Handdialog::rahmenEnde() {
    if (--m_tiefe > 0)
        return;
    if (!m_beendet) {
        ++m_tiefe;
        Ruhelage();
        --m_tiefe;
    }
    if (m_beendet && !m_loeschen) {
        m_loeschen = true;
        deleteLater();
    }
}

SerielleSchnittstelle &Handdialog::port() const {
    return *m_umgebung.serielleSchnittstelle();
}

void Handdialog::BewegungsknopfAnmelden(QPushButton *knopf) {
    knopf->installEventFilter(this);
}

void Handdialog::Beenden() {
    m_beendet = true;
    hide();
}

bool Handdialog::eventFilter(QObject *objekt, QEvent *ereignis) {
    auto *knopf = qobject_cast<QPushButton *>(objekt);
    if (!knopf || m_beendet)
        return QWidget::eventFilter(objekt, ereignis);
    switch (ereignis->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (knopf->isEnabled()) {
            m_druckVerworfen = false;
            Rahmen rahmen(*this);
            Gedrueckt(knopf, *static_cast<QMouseEvent *>(ereignis));
            if (m_druckVerworfen)
                return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (knopf->isEnabled()) {
            Rahmen rahmen(*this);
            Losgelassen(knopf, *static_cast<QMouseEvent *>(ereignis));
        }
        break;
    case QEvent::FocusOut: {
        const Qt::FocusReason grund = static_cast<QFocusEvent *>(ereignis)->reason();
        if (grund == Qt::PopupFocusReason || grund == Qt::ActiveWindowFocusReason) {
            Rahmen rahmen(*this);
            HaltVerloren(knopf);
        }
        break;
    }
    case QEvent::EnabledChange:
        if (!knopf->isEnabled()) {
            Rahmen rahmen(*this);
            HaltVerloren(knopf);
        }
        break;
    case QEvent::Hide: {
        Rahmen rahmen(*this);
        HaltVerloren(knopf);
        break;
    }
    default:
        break;
    }
    // The button itself still sees every event, so it looks pressed while it is held.
    return false;
}

bool Handdialog::event(QEvent *ereignis) {
    const bool ergebnis = QWidget::event(ereignis);
    if (ereignis->type() == QEvent::WindowDeactivate && !m_beendet) {
        Rahmen rahmen(*this);
        HaltVerloren(nullptr);
    }
    return ergebnis;
}

void Handdialog::closeEvent(QCloseEvent *ereignis) {
    // The window goes only by Beenden(), once its work on the controller is done.
    ereignis->ignore();
    if (m_beendet)
        return;
    Rahmen rahmen(*this);
    VerlassenAnfordern();
}

void Handdialog::showEvent(QShowEvent *ereignis) {
    QWidget::showEvent(ereignis);
    if (!m_geladen) {
        m_geladen = true;
        Rahmen rahmen(*this);
        Laden();
    }
}

void Handdialog::hideEvent(QHideEvent *ereignis) {
    QWidget::hideEvent(ereignis);
    if (!m_beendet) {
        Rahmen rahmen(*this);
        HaltVerloren(nullptr);
    }
}
