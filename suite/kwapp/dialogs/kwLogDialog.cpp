// A long log shows its end from a line start, so the first line shown is whole.
#include "kwapp/dialogs/kwLogDialog.h"

#include "kwcommon/kwCompany.h"

#include "ui_kwLogDialog.h"

#include <QFile>

kwLogDialog::kwLogDialog(QWidget* parent)
    : kwDialog(0, parent), _ui(std::make_unique<Ui::kwLogDialog>()) {
    _ui->setupUi(this);
    _ui->logText->setFont(QFont(QStringLiteral("Monospace")));
    _ui->logText->setPlainText(LogText(kwCompany::IsOpen() ? kwCompany::LogFile() : std::string()));
    _ui->logText->moveCursor(QTextCursor::End);
    WireStandardButtons();
}

kwLogDialog::~kwLogDialog() = default;

QString kwLogDialog::LogText(const std::string& path) {
    if (path.empty()) return QStringLiteral("No company is open.");
    QFile file(QString::fromStdString(path));
    if (!file.exists()) return QStringLiteral("The log is empty.");
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("The log cannot be read: ") + file.errorString();
    QByteArray data;
    if (file.size() > SHOWN_BYTES) {
        file.seek(file.size() - SHOWN_BYTES);
        data = file.readAll();
        const qsizetype newline = data.indexOf('\n');
        if (newline >= 0) data.remove(0, newline + 1);
    } else {
        data = file.readAll();
    }
    return QString::fromUtf8(data);
}
