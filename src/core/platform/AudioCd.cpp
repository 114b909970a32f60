#include "core/platform/AudioCd.h"

#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orbisk {

namespace {

constexpr int kShortDisc = 3; // below this many tracks the disc's length is added

std::uint32_t AddressNumber(const TCdAddress& a) {
    return static_cast<std::uint32_t>(a.Minute) << 16 | static_cast<std::uint32_t>(a.Second) << 8 |
           static_cast<std::uint32_t>(a.Frame);
}

TCdAddress FromMsf(const cdrom_msf0& msf) {
    return TCdAddress{msf.minute, msf.second, msf.frame};
}

// One entry of the table: a track or, for CDROM_LEADOUT, the lead-out.
bool ReadEntry(int fd, int track, cdrom_tocentry& entry) {
    entry = cdrom_tocentry{};
    entry.cdte_track = static_cast<__u8>(track);
    entry.cdte_format = CDROM_MSF;
    return ::ioctl(fd, CDROMREADTOCENTRY, &entry) == 0;
}

std::optional<TCdToc> ReadTocOf(int fd) {
    cdrom_tochdr header{};
    if (::ioctl(fd, CDROMREADTOCHDR, &header) != 0) return std::nullopt;
    if (header.cdth_trk0 < 1 || header.cdth_trk1 < header.cdth_trk0 || header.cdth_trk1 > 99)
        return std::nullopt;
    TCdToc toc;
    toc.FirstTrack = header.cdth_trk0;
    toc.LastTrack = header.cdth_trk1;
    cdrom_tocentry entry{};
    for (int track = toc.FirstTrack; track <= toc.LastTrack; ++track) {
        if (!ReadEntry(fd, track, entry)) return std::nullopt;
        toc.Tracks.push_back(TCdTrack{track, FromMsf(entry.cdte_addr.msf),
                                      (entry.cdte_ctrl & CDROM_DATA_TRACK) != 0});
    }
    if (!ReadEntry(fd, CDROM_LEADOUT, entry)) return std::nullopt;
    toc.LeadOut = FromMsf(entry.cdte_addr.msf);
    return toc;
}

} // namespace

std::uint32_t AudioCdSerial(const TCdToc& toc) {
    std::uint32_t serial = 0;
    for (const TCdTrack& track : toc.Tracks)
        serial += AddressNumber(track.Start);
    if (!toc.Tracks.empty() && toc.Tracks.size() < kShortDisc)
        serial += toc.LeadOut.Frames() - toc.Tracks.front().Start.Frames();
    return serial;
}

std::vector<int> AudioTracks(const TCdToc& toc) {
    std::vector<int> numbers;
    for (const TCdTrack& track : toc.Tracks)
        if (!track.Data) numbers.push_back(track.Number);
    return numbers;
}

TVolumeInfo AudioCdVolume(const TCdToc& toc) {
    return TVolumeInfo{std::string(kAudioCdLabel), FormatSerial(AudioCdSerial(toc))};
}

std::string CdaFileName(int track) {
    char name[16];
    std::snprintf(name, sizeof name, "Track%02d.cda", track);
    return name;
}

std::optional<TCdToc> ReadCdToc(const std::string& device) {
    // O_NONBLOCK opens a drive without a disc or with its tray out; only a
    // block device is asked.
    const int fd = ::open(device.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::optional<TCdToc> toc;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISBLK(st.st_mode) &&
        ::ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT) == CDS_DISC_OK)
        toc = ReadTocOf(fd);
    ::close(fd);
    return toc;
}

} // namespace orbisk
