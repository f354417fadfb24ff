#include "main/Messages.h"

#include "main/WindowCaption.h"
#include "text/Win1252.h"

#include <QMessageBox>

void BoxMessages::message(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, parent);
    if (caption.isEmpty())
        KeepCaptionEmpty(&box);
    box.exec();
}

bool BoxMessages::question(QWidget* parent, const QString& caption, const QString& text) {
    return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

QString fromCore(const std::string& bytes) {
    return QString::fromStdString(corvana::Win1252ToUtf8(bytes));
}

std::string toCore(const QString& text) {
    // Characters the code page lacks cannot match anything in the data; drop them one by one.
    std::string out;
    for (QChar c : text) {
        if (auto b = corvana::Utf8ToWin1252(QString(c).toStdString()))
            out += *b;
    }
    return out;
}
