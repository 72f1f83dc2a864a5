#include "Nachrichten.h"

#include <QApplication>
#include <QMessageBox>

Nachrichtenfaenger::Nachrichtenfaenger() {
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &Nachrichtenfaenger::nachsehen);
    m_timer.start();
}

void Nachrichtenfaenger::nachsehen() {
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    m_nachrichten.append({box->windowTitle(), box->text()});
    box->done(QMessageBox::Ok);
}
