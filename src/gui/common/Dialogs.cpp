#include "gui/common/Dialogs.h"

#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <algorithm>

namespace orbisk {

namespace {

DialogsBackend*& Installed() {
    static DialogsBackend* backend = nullptr;
    return backend;
}

QtDialogs& Real() {
    static QtDialogs real;
    return real;
}

QString Canonical(const QString& path) {
    QFileInfo info(path);
    QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

QString RunFileDialog(QWidget* parent, const FileRequest& request, QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, request.title, request.folder, request.filter);
    // Qt's own dialog speaks the program's language (Qt's translation); the
    // desktop's would speak the desktop's.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath();
}

// A folder dialog that cannot leave its root: entering a folder outside it
// returns to the root, and accepting one outside it is refused.
class RootedFolderDialog : public QFileDialog {
public:
    RootedFolderDialog(QWidget* parent, const FolderRequest& request)
        : QFileDialog(parent, request.title), root_(request.root) {
        setFileMode(QFileDialog::Directory);
        setOption(QFileDialog::ShowDirsOnly);
        // Qt's own dialog: it speaks the program's language and can be rooted.
        setOption(QFileDialog::DontUseNativeDialog);
        QString start = request.start.isEmpty() ? request.root : request.start;
        if (!root_.isEmpty()) {
            setSidebarUrls({QUrl::fromLocalFile(root_)});
            if (!IsInsideFolder(start, root_)) start = root_;
            connect(this, &QFileDialog::directoryEntered, this, [this](const QString& dir) {
                if (!IsInsideFolder(dir, root_)) setDirectory(root_);
            });
        }
        setDirectory(start);
    }

    void accept() override {
        const QStringList chosen = selectedFiles();
        if (!root_.isEmpty() && (chosen.isEmpty() || !IsInsideFolder(chosen.first(), root_))) {
            setDirectory(root_);
            return;
        }
        QFileDialog::accept();
    }

private:
    QString root_;
};

} // namespace

bool IsInsideFolder(const QString& path, const QString& folder) {
    QString p = Canonical(path);
    QString f = Canonical(folder);
    if (p == f) return true;
    if (!f.endsWith(QLatin1Char('/'))) f += QLatin1Char('/');
    return p.startsWith(f);
}

DialogsBackend* Dialogs::Install(DialogsBackend* backend) {
    DialogsBackend* previous = Installed();
    Installed() = backend;
    return previous;
}

DialogsBackend& Dialogs::Current() {
    return Installed() ? *Installed() : Real();
}

QString Dialogs::OpenFile(QWidget* parent, const FileRequest& request) {
    return Current().OpenFile(parent, request);
}

QString Dialogs::SaveFile(QWidget* parent, const FileRequest& request) {
    return Current().SaveFile(parent, request);
}

QString Dialogs::ChooseFolder(QWidget* parent, const FolderRequest& request) {
    return Current().ChooseFolder(parent, request);
}

std::optional<QColor> Dialogs::ChooseColour(QWidget* parent, const QColor& initial,
                                            const std::vector<QColor>& custom) {
    return Current().ChooseColour(parent, initial, custom);
}

QString QtDialogs::OpenFile(QWidget* parent, const FileRequest& request) {
    return RunFileDialog(parent, request, QFileDialog::AcceptOpen);
}

QString QtDialogs::SaveFile(QWidget* parent, const FileRequest& request) {
    return RunFileDialog(parent, request, QFileDialog::AcceptSave);
}

QString QtDialogs::ChooseFolder(QWidget* parent, const FolderRequest& request) {
    RootedFolderDialog dialog(parent, request);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath();
}

std::optional<QColor> QtDialogs::ChooseColour(QWidget* parent, const QColor& initial,
                                              const std::vector<QColor>& custom) {
    const int count = std::min(static_cast<int>(custom.size()), QColorDialog::customCount());
    for (int i = 0; i < count; ++i)
        QColorDialog::setCustomColor(i, custom[static_cast<std::size_t>(i)]);
    QColor chosen =
        QColorDialog::getColor(initial, parent, QString(), QColorDialog::DontUseNativeDialog);
    if (!chosen.isValid()) return std::nullopt;
    return chosen;
}

ScriptedDialogs::ScriptedDialogs() : previous_(Dialogs::Install(this)) {}

ScriptedDialogs::~ScriptedDialogs() {
    Dialogs::Install(previous_);
}

QString ScriptedDialogs::NextPath() {
    if (paths.empty()) return {};
    QString path = paths.front();
    paths.pop_front();
    return path;
}

QString ScriptedDialogs::OpenFile(QWidget*, const FileRequest& request) {
    requests.push_back({DialogKind::OpenFile, request, {}, {}, {}});
    return NextPath();
}

QString ScriptedDialogs::SaveFile(QWidget*, const FileRequest& request) {
    requests.push_back({DialogKind::SaveFile, request, {}, {}, {}});
    return NextPath();
}

QString ScriptedDialogs::ChooseFolder(QWidget*, const FolderRequest& request) {
    requests.push_back({DialogKind::ChooseFolder, {}, request, {}, {}});
    return NextPath();
}

std::optional<QColor> ScriptedDialogs::ChooseColour(QWidget*, const QColor& initial,
                                                    const std::vector<QColor>& custom) {
    requests.push_back({DialogKind::ChooseColour, {}, {}, initial, custom});
    if (colours.empty()) return std::nullopt;
    std::optional<QColor> colour = colours.front();
    colours.pop_front();
    return colour;
}

} // namespace orbisk
