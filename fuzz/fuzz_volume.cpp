// libFuzzer target: the volume probes on the fuzzer's bytes, read as a
// mountinfo and fstab text, as a boot sector, as the ISO descriptor sectors
// of an image, and as a device file behind a mounted volume.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "core/catalog/CodePage.h"
#include "core/platform/MountTable.h"
#include "core/platform/Superblock.h"
#include "core/platform/Volumes.h"

using namespace orbisk;

namespace {

// A folder of our own per process: the fake machine's root.
const std::string& Root() {
    static const std::string dir = [] {
        const char* base = std::getenv("TMPDIR");
        std::string tmpl = std::string(base && *base ? base : "/tmp") + "/orbisk-fuzz-vol-XXXXXX";
        if (!::mkdtemp(tmpl.data())) std::abort();
        if (::mkdir((tmpl + "/dev").c_str(), 0700) != 0) std::abort();
        static const std::string keep = tmpl;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(keep, ec);
        });
        return tmpl;
    }();
    return dir;
}

void Write(const std::string& path, std::string_view bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
        std::abort();
    std::fclose(f);
}

// What every label and serial text must be, whatever the bytes.
void CheckInfo(const TVolumeInfo& info) {
    if (info.Serial.size() != 9 || info.Serial[4] != '-') std::abort();
    if (!IsValidUtf8(info.Label)) std::abort();
    for (char c : info.Label)
        if (static_cast<unsigned char>(c) < 0x20 || c == '\\') std::abort();
}

void CheckSuperblock(const std::optional<TSuperblock>& sb) {
    if (sb && !IsValidUtf8(sb->Label)) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    for (const TMountedVolume& v : ParseMountInfo(bytes))
        if (v.MountPoint.empty() || v.MountPoint.front() != '/') std::abort();
    for (const TFstabEntry& e : ParseFstab(bytes))
        if (e.MountPoint.empty() || e.MountPoint.front() != '/') std::abort();
    DecodeMountEscapes(bytes);
    DecodeUdevName(bytes);
    SerialFromUuid(TFsFamily::Ntfs, bytes.substr(0, 64));

    // A boot sector: the bytes as they are (a device cut short) and padded
    // to a whole sector.
    std::string sector(bytes);
    if (sector.size() < 512) sector.resize(512, '\0');
    for (TFsFamily family : {TFsFamily::Fat, TFsFamily::Ntfs, TFsFamily::Exfat, TFsFamily::Ext,
                             TFsFamily::Iso9660, TFsFamily::Udf, TFsFamily::Unknown}) {
        CheckSuperblock(ParseSuperblock(family, bytes));
        CheckSuperblock(ParseSuperblock(family, sector));
    }

    // An image: sixteen empty sectors, then the bytes as descriptors, cut
    // where the bytes end and with the last sector padded.
    const std::string cut = std::string(16 * kIsoSectorSize, '\0') + std::string(bytes);
    std::string image = cut;
    image.resize((image.size() + kIsoSectorSize - 1) / kIsoSectorSize * kIsoSectorSize, '\0');
    CheckSuperblock(ParseIsoDescriptors(cut));
    CheckSuperblock(ParseIsoDescriptors(image));
    IsoDescriptorSerial(bytes);

    // The whole probe on a device file holding the image.
    TPlatformPaths paths;
    paths.MountInfo = Root() + "/none";
    paths.Fstab = Root() + "/none";
    paths.SysBlock = Root() + "/none";
    paths.DiskByLabel = Root() + "/none";
    paths.DiskByUuid = Root() + "/none";
    paths.DeviceRoot = Root();
    Write(Root() + "/dev/sr0", image);
    Write(Root() + "/dev/sr1", cut);
    Write(Root() + "/dev/sdb1", sector);
    Write(Root() + "/dev/sdb2", bytes);
    for (const char* fsType : {"iso9660", "udf", "vfat", "ntfs3", "exfat", "ext4", "fuseblk"}) {
        const bool optical =
            std::string_view(fsType) == "iso9660" || std::string_view(fsType) == "udf";
        for (const char* device : {"/dev/sr0", "/dev/sr1", "/dev/sdb1", "/dev/sdb2"}) {
            if (optical != std::string_view(device).starts_with("/dev/sr")) continue;
            TMountedVolume v;
            v.MountPoint = "/media/x";
            v.FsType = fsType;
            v.Device = device;
            v.Type = optical ? TDriveType::CdRom : TDriveType::Removable;
            CheckInfo(VolumeInfoOf(v, paths));
        }
    }

    // The whole look-up with the bytes as the mount table and fstab: the
    // volume holding the root folder, its type and serial. A line for "/"
    // naming /dev/sr0 or /dev/sdb2 reaches the device files above.
    paths.MountInfo = Root() + "/mountinfo";
    paths.Fstab = paths.MountInfo;
    Write(paths.MountInfo, bytes);
    CheckInfo(VolumeSerial("/", paths));
    DriveTypeOf("/", paths);
    return 0;
}
