#include "Nachrichten.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
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

Dateidialogantwort::Dateidialogantwort(const QString &pfad) : m_pfad(pfad) {
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &Dateidialogantwort::nachsehen);
    m_timer.start();
}

void Dateidialogantwort::nachsehen() {
    auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
    if (m_beantwortet || !dialog || !dialog->isVisible())
        return;
    m_beantwortet = true;
    m_titel = dialog->windowTitle();
    m_filter = dialog->nameFilters();
    if (m_pfad.isEmpty()) {
        dialog->reject();
        return;
    }
    // As an operator does it: the folder, then the name typed into the name field.
    const QFileInfo ziel(m_pfad);
    dialog->setDirectory(ziel.absolutePath());
    if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        name->setText(ziel.fileName());
    QMetaObject::invokeMethod(dialog, "accept");
}
