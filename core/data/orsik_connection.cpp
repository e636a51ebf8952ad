#include "core/data/orsik_connection.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "core/data/str_table_db.h"
#include "core/util/file_io.h"

#include <unistd.h>

namespace {

std::string& ProgramFolderOverride() {
    static std::string folder;
    return folder;
}

std::string FileNameOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

} // namespace

TConnectionClient::~TConnectionClient() {
    if (connection_) connection_->UnregisterClient(this);
}

std::vector<TOrsikConnectionListener::Loader>& TOrsikConnectionListener::Loaders() {
    static std::vector<Loader> loaders;
    return loaders;
}

void TOrsikConnectionListener::Announce(TConnectionClient& client, TOrsikConnection& connection) {
    for (const auto& load : Loaders()) load(client, connection);
}

TOrsikConnection::TOrsikConnection() = default;

TOrsikConnection::~TOrsikConnection() {
    destroying_ = true;
    for (TConnectionClient* c : clients_) {
        c->connection_ = nullptr;
        c->ConnectionDestroyed();
    }
    clients_.clear();
}

std::string TOrsikConnection::ProgramFolder() {
    if (!ProgramFolderOverride().empty()) return ProgramFolderOverride();
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}

void TOrsikConnection::SetProgramFolder(const std::string& folder) {
    ProgramFolderOverride() = folder;
}

namespace {

bool HoldsProductContainer(const std::string& folder) {
    std::error_code ec;
    return !folder.empty() && std::filesystem::is_regular_file(JoinPath(folder, "Vacuum.dat"), ec);
}

} // namespace

std::string ChooseDataFolder(const std::string& programFolder, const std::string& environmentFolder,
                             const std::string& installedFolder) {
    if (HoldsProductContainer(programFolder)) return programFolder;
    if (!environmentFolder.empty()) return environmentFolder;
    if (HoldsProductContainer(installedFolder)) return installedFolder;
    return programFolder;
}

std::string InstalledDataFolder() {
#ifdef VACUUM_INSTALL_DATADIR
    return VACUUM_INSTALL_DATADIR;
#else
    return {};
#endif
}

std::string TOrsikConnection::DataFolder() {
    const char* environment = std::getenv("VACUUM_DATA_DIR");
    return ChooseDataFolder(ProgramFolder(), environment ? environment : "", InstalledDataFolder());
}

void TOrsikConnection::Loaded() {
    if (!loading_) return;
    loading_ = false;
    if (!dataFile_.empty()) {
        const std::string path = JoinPath(ProgramFolder(), FileNameOf(dataFile_));
        if (path != dataFile_) {
            dataFile_ = path;
            Open();
        } else {
            AnnounceAll();
        }
    }
}

void TOrsikConnection::SetDataFile(const std::string& path) {
    std::string resolved = path;
    if (loading_ && !path.empty()) resolved = JoinPath(ProgramFolder(), FileNameOf(path));
    if (resolved == dataFile_) return;
    dataFile_ = resolved;
    Open();
}

void TOrsikConnection::Open() {
    active_ = false;
    image_ = TContainerImage();
    lastError_.clear();
    if (!dataFile_.empty()) {
        if (ReadContainerFile(dataFile_, image_, lastError_))
            active_ = true;
        else
            image_ = TContainerImage();
    }
    AnnounceAll();
}

void TOrsikConnection::RegisterClient(TConnectionClient* client) {
    if (!client || std::find(clients_.begin(), clients_.end(), client) != clients_.end()) return;
    if (client->connection_ && client->connection_ != this)
        client->connection_->UnregisterClient(client);
    clients_.push_back(client);
    client->connection_ = this;
}

void TOrsikConnection::UnregisterClient(TConnectionClient* client) {
    auto it = std::find(clients_.begin(), clients_.end(), client);
    if (it == clients_.end()) return;
    clients_.erase(it);
    client->connection_ = nullptr;
}

std::optional<std::span<const uint8_t>> TOrsikConnection::GetTableStream(std::string_view name) const {
    if (!active_) return std::nullopt;
    const int i = image_.Find(name);
    if (i < 0) return std::nullopt;
    return image_.Blobs[i];
}

void TOrsikConnection::AnnounceClient(TConnectionClient& client) {
    TOrsikConnectionListener::Announce(client, *this);
}

void TOrsikConnection::AnnounceAll() {
    if (loading_ || destroying_) return;
    // A client may unregister while it loads; walk a copy and skip the departed.
    const auto clients = clients_;
    for (TConnectionClient* c : clients)
        if (std::find(clients_.begin(), clients_.end(), c) != clients_.end()) AnnounceClient(*c);
    if (OnChange) OnChange(*this);
}

bool ReadContainerFile(const std::string& path, TContainerImage& image, std::string& error) {
    image = TContainerImage();
    error.clear();
    if (path.empty()) {
        error = "no container file given";
        return false;
    }
    // Only a regular file of bounded size: a device would feed bytes without end, a FIFO
    // would block and a folder has no contents to read.
    int fd = -1;
    uint64_t fileSize = 0;
    std::string why;
    if (OpenRegularFile(path, cContainerMaxFileSize, fd, fileSize, why) != crfOk) {
        error = path + ": " + why;
        return false;
    }
    // The whole file into an uninitialised buffer: zero-filling tens of megabytes first
    // would cost as much as a good part of the reading.
    const auto size = static_cast<size_t>(fileSize);
    std::shared_ptr<uint8_t[]> bytes(new uint8_t[size > 0 ? size : 1]);
    const bool readOk = ReadExactly(fd, bytes.get(), fileSize, why);
    ::close(fd);
    if (!readOk) {
        error = path + ": " + why;
        return false;
    }
    try {
        if (!ParseContainerInPlace(bytes, size, image)) {
            error = path + ": not a container file (no \"OrsikDAT\" signature)";
            image = TContainerImage();
            return false;
        }
        ValidateContainerTables(image);
    } catch (const EFormatError& e) {
        error = path + ": " + e.what();
        image = TContainerImage();
        return false;
    }
    return true;
}

namespace {

std::map<std::string, TBlobValidator, std::less<>>& BlobValidators() {
    static std::map<std::string, TBlobValidator, std::less<>> validators = {
        {"Table", [](std::span<const uint8_t> blob) { ValidateTableBlob(blob); }},
        {"TableIndexed", [](std::span<const uint8_t> blob) { ValidateTableBlob(blob); }},
    };
    return validators;
}

} // namespace

void TBlobValidators::Register(const std::string& kind, TBlobValidator validate) {
    if (validate)
        BlobValidators()[kind] = std::move(validate);
    else
        BlobValidators().erase(kind);
}

const TBlobValidator* TBlobValidators::Find(std::string_view kind) {
    const auto& validators = BlobValidators();
    const auto it = validators.find(kind);
    return it == validators.end() ? nullptr : &it->second;
}

void ValidateContainerTables(const TContainerImage& image) {
    for (size_t i = 0; i < image.Blobs.size(); ++i) {
        try {
            if (const TBlobValidator* validate = TBlobValidators::Find(image.Kinds[i]))
                (*validate)(image.Blobs[i]);
        } catch (const EFormatError& e) {
            throw EFormatError("table \"" + image.TableNames[i] + "\": " + e.what());
        }
    }
}
