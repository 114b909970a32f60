#include "gui/platform/DiskService.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QFile>
#include <QVariantMap>
#include <cerrno>
#include <cstring>

#include "core/platform/Volumes.h"

namespace orbisk {

namespace {

const QString kService = QStringLiteral("org.freedesktop.UDisks2");
const QString kManager = QStringLiteral("/org/freedesktop/UDisks2/Manager");
const QString kNotMounted = QStringLiteral("org.freedesktop.UDisks2.Error.NotMounted");
// An eject waits for the drive to spin down and open its tray.
constexpr int kCallTimeoutMs = 30000;

// What a call to the service gave: its reply, or why there was none.
struct TCall {
    QDBusMessage Reply;
    bool Reached = true; // false: no system bus, or no UDisks2 on it
    QString NoBus;       // why there is no system bus
    bool Ok() const { return Reply.type() == QDBusMessage::ReplyMessage; }
    QString Error() const { return NoBus.isEmpty() ? Reply.errorMessage() : NoBus; }
};

TCall Call(const QString& object, const QString& interface, const QString& method,
           const QVariantList& args) {
    TCall call;
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        call.Reached = false;
        call.NoBus = bus.lastError().message();
        if (call.NoBus.isEmpty()) call.NoBus = QStringLiteral("D-Bus");
        return call;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(kService, object, interface, method);
    message.setArguments(args);
    call.Reply = bus.call(message, QDBus::Block, kCallTimeoutMs);
    const QString name = call.Reply.errorName();
    if (name == QDBusError::errorString(QDBusError::ServiceUnknown) ||
        name == QDBusError::errorString(QDBusError::NoServer))
        call.Reached = false;
    return call;
}

// The object of the block device at path (links such as /dev/cdrom are
// followed by the service). Empty, with call telling why, when there is none.
QString BlockObject(const QString& device, TCall& call) {
    const QVariantMap spec{{QStringLiteral("path"), device}};
    call = Call(kManager, QStringLiteral("org.freedesktop.UDisks2.Manager"),
                QStringLiteral("ResolveDevice"), {spec, QVariantMap{}});
    if (!call.Ok() || call.Reply.arguments().isEmpty()) return {};
    const auto objects = qdbus_cast<QList<QDBusObjectPath>>(call.Reply.arguments().first());
    return objects.isEmpty() ? QString() : objects.first().path();
}

// The drive object that holds the block device object ("/" when none).
QString DriveObject(const QString& block, TCall& call) {
    call = Call(block, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                {QStringLiteral("org.freedesktop.UDisks2.Block"), QStringLiteral("Drive")});
    if (!call.Ok() || call.Reply.arguments().isEmpty()) return {};
    const QVariant value = qdbus_cast<QDBusVariant>(call.Reply.arguments().first()).variant();
    const QString drive = qdbus_cast<QDBusObjectPath>(value).path();
    return drive == QStringLiteral("/") ? QString() : drive;
}

TDiskStep Failed(const QString& reason) {
    return TDiskStep{false, reason};
}

// The door through the drive's own ioctl; the kernel refuses to open the
// tray of a mounted disc (EBUSY).
TDiskStep DoorIoctl(const QString& device, bool open) {
    if (SetDoor(QFile::encodeName(device).toStdString(), open)) return {};
    return Failed(QString::fromLocal8Bit(std::strerror(errno)));
}

QString NoObject(const QString& device) {
    return QStringLiteral("%1: UDisks2 nezná toto zařízení").arg(device);
}

} // namespace

TDiskStep UDisksService::Unmount(const QString& device) {
    TCall call;
    const QString block = BlockObject(device, call);
    if (!call.Reached)
        return Failed(QStringLiteral("služba UDisks2 není dostupná (%1)").arg(call.Error()));
    if (!call.Ok()) return Failed(call.Error());
    if (block.isEmpty()) return Failed(NoObject(device));
    call = Call(block, QStringLiteral("org.freedesktop.UDisks2.Filesystem"),
                QStringLiteral("Unmount"), {QVariantMap{}});
    if (call.Ok() || call.Reply.errorName() == kNotMounted) return {};
    return Failed(call.Error());
}

TDiskStep UDisksService::Eject(const QString& device) {
    if (device.isEmpty()) return DoorIoctl(device, true);
    TCall call;
    const QString block = BlockObject(device, call);
    if (!call.Reached) return DoorIoctl(device, true);
    if (!call.Ok()) return Failed(call.Error());
    if (block.isEmpty()) return DoorIoctl(device, true);
    const QString drive = DriveObject(block, call);
    if (!call.Ok()) return Failed(call.Error());
    if (drive.isEmpty()) return DoorIoctl(device, true);
    call = Call(drive, QStringLiteral("org.freedesktop.UDisks2.Drive"), QStringLiteral("Eject"),
                {QVariantMap{}});
    if (call.Ok()) return {};
    return Failed(call.Error());
}

TDiskStep UDisksService::Close(const QString& device) {
    return DoorIoctl(device, false);
}

} // namespace orbisk
