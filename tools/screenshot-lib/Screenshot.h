#pragma once
// Developer tool, not shipped: the pieces the picture programs of
// tools/*-screenshot share (tools/screenshot-lib.sh builds them with this
// folder on the include path).
#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <functional>
#include <span>
#include <string>

#include "core/catalog/Host.h"
#include "core/catalog/ProgramValues.h"
#include "core/db/Database.h"
#include "gui/common/QtTranslation.h"

namespace screenshot {

// Starts as the main program does: its name, the program values, Qt's own
// texts in Czech.
inline void StartOrbisk() {
    QApplication::setApplicationName(QStringLiteral("Orbisk"));
    orbisk::InitProgramValues(orbisk::Program(), orbisk::DetectProgramDir());
    orbisk::InstallQtTranslation(QString::fromLatin1(orbisk::kDefaultLanguage));
}

// Saves a picture of the screen as path, or of window with its frame only.
inline bool SaveScreen(const QString& path, const QWidget* window = nullptr) {
    QApplication::processEvents();
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect frame = window ? window->frameGeometry() : QRect();
    const QPixmap shot =
        window ? screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
               : screen->grabWindow(0);
    const bool saved = shot.save(path, "PNG");
    std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

// Waits for a modal window of type T and hands it to ready once it has had
// settleMs to lay itself out.
template <typename T>
void WhenModal(int settleMs, std::function<void(T*)> ready) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!modal) return;
        timer->stop();
        timer->deleteLater();
        QTimer::singleShot(settleMs, modal, [=] { ready(modal); });
    });
    timer->start(100);
}

// An item of a sample database and the category it is filed in.
struct DbSample {
    const char* category;
    orbisk::TDbItem item;
};

// Files samples in the database file path (made when missing) and saves it.
inline void WriteDatabase(const std::string& path, std::span<const DbSample> samples) {
    orbisk::TDatabase db;
    orbisk::NullHost host;
    db.Open(path, host, true);
    for (const DbSample& s : samples)
        db.InsertItem(s.category, orbisk::MakeDbItem(s.item));
    db.Save(host);
}

} // namespace screenshot
