#pragma once

#include <QStyledItemDelegate>
#include <QValidator>

// Typing a step count into the grid: the cell editor takes only what can be a number, so
// letters never reach the table.
class SchritteValidator : public QValidator {
public:
    explicit SchritteValidator(QObject *parent = nullptr) : QValidator(parent) {}
    State validate(QString &text, int &pos) const override;
};

class SchritteEingabe : public QStyledItemDelegate {
public:
    explicit SchritteEingabe(QObject *parent = nullptr) : QStyledItemDelegate(parent) {}
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
};
