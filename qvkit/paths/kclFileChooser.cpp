// The standard file chooser on Qt and its replaceable seam.
#include "qvkit/paths/kclFileChooser.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/kwStatus.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <utility>

namespace {
QString ToQ(const std::string& text) {
    return QString::fromStdString(text);
}

// The current name as the chooser offers it. Names are often kept without their extension
// (report designs are); for an existing file, offer the file that is really there.
QString OfferedName(const kclFileChoice& choice, const QString& folder) {
    const QString name = QFileInfo(ToQ(choice.path)).fileName();
    if (choice.newFile || choice.extension.empty() || !QFileInfo(name).suffix().isEmpty()) {
        return name;
    }
    const QString ext = ToQ(choice.extension);
    for (const QString& candidate : {name + '.' + ext.toUpper(), name + '.' + ext.toLower()}) {
        if (QFileInfo(QDir(folder).filePath(candidate)).isFile()) return candidate;
    }
    return name;
}
} // namespace

short kclChooseFile(const kclFileChoice& choice, std::string* chosen) {
    const kclFileChooser& chooser = kclFileChooserSeam();
    return chooser ? chooser(choice, chosen) : kclStandardFileChooser(choice, chosen);
}

kclFileChooser& kclFileChooserSeam() {
    static kclFileChooser seam;
    return seam;
}

short kclStandardFileChooser(const kclFileChoice& choice, std::string* chosen) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return XIO_CANCELLED;

    // The start folder may be a pattern such as "*.rpt" when a file kind has no folder of
    // its own; the company folder is the natural place to look then.
    QString folder = ToQ(choice.startFolder);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = kwCompany::IsOpen() ? ToQ(kwCompany::Folder()) : QDir::currentPath();
    }

    QStringList filters;
    if (!choice.extension.empty()) {
        const QString ext = ToQ(choice.extension);
        const QString name = choice.filterName.empty() ? ext.toUpper() : ToQ(choice.filterName);
        // Designs copied from other workstations may carry the extension in either case.
        filters << QStringLiteral("%1 (*.%2 *.%3)").arg(name, ext.toLower(), ext.toUpper());
    }
    filters << QFileDialog::tr("All files (*)");

    QFileDialog dialog(QApplication::activeWindow(), ToQ(choice.title), folder);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters(filters);
    if (choice.newFile) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // Naming a file here writes nothing; whoever writes it asks about replacing it.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setDefaultSuffix(ToQ(choice.extension));
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (!choice.path.empty()) dialog.selectFile(OfferedName(choice, folder));

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return XIO_CANCELLED;
    }
    if (chosen) *chosen = dialog.selectedFiles().constFirst().toStdString();
    return XIO_OK;
}
