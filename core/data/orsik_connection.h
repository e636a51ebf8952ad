#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/container_format.h"

class TOrsikConnection;

//! A component bound to a connection: stored tables, curve families, language tables.
//! It unregisters itself when destroyed.
class TConnectionClient {
public:
    TConnectionClient() = default;
    TConnectionClient(const TConnectionClient&) = delete;
    TConnectionClient& operator=(const TConnectionClient&) = delete;
    virtual ~TConnectionClient();

    TOrsikConnection* ClientConnection() const { return connection_; }

protected:
    //! The connection is being destroyed; the client keeps its data and loses the link.
    virtual void ConnectionDestroyed() {}

private:
    friend class TOrsikConnection;
    TOrsikConnection* connection_ = nullptr;
};

//! Process-wide list of (class, load action) pairs: announcing a client runs every loader
//! whose class the client belongs to.
class TOrsikConnectionListener {
public:
    using Loader = std::function<void(TConnectionClient& client, TOrsikConnection& connection)>;
    //! Registers a loader for clients of class T.
    template <typename T>
    static void Register(std::function<void(T& client, TOrsikConnection& connection)> load) {
        Loaders().push_back([load](TConnectionClient& c, TOrsikConnection& con) {
            if (auto* t = dynamic_cast<T*>(&c)) load(*t, con);
        });
    }
    static void Announce(TConnectionClient& client, TOrsikConnection& connection);

private:
    static std::vector<Loader>& Loaders();
};

//! Opens a container file and keeps its table blobs in memory for its clients.
class TOrsikConnection {
public:
    //! Created in loading state, as a component being loaded; call Loaded() when set up.
    TOrsikConnection();
    ~TOrsikConnection();
    TOrsikConnection(const TOrsikConnection&) = delete;
    TOrsikConnection& operator=(const TOrsikConnection&) = delete;

    //! Ends loading: the data file is set once more to the program folder plus its name.
    void Loaded();
    bool Loading() const { return loading_; }

    bool Active() const { return active_; }
    void SetActive(bool) {} // read-only in effect
    const std::string& DataFile() const { return dataFile_; }
    //! While loading, only the file name is kept and placed in the program folder;
    //! afterwards the path is taken as given. A changed path reopens the container.
    void SetDataFile(const std::string& path);
    const std::string& FileFormatVersion() const { return image_.FileFormatVersion; }
    void SetFileFormatVersion(const std::string&) {} // read-only in effect

    //! Reads the container and announces every client. A missing file leaves the
    //! connection inactive; a truncated or corrupt one too, with LastError() saying why.
    void Open();
    //! Why the last Open left the connection inactive (empty after a successful open).
    const std::string& LastError() const { return lastError_; }

    void RegisterClient(TConnectionClient* client);
    void UnregisterClient(TConnectionClient* client);
    const std::vector<TConnectionClient*>& Clients() const { return clients_; }

    //! The blob of a table by name (case-insensitive), or nothing when unknown.
    std::optional<std::span<const uint8_t>> GetTableStream(std::string_view name) const;
    const std::vector<std::string>& TableNames() const { return image_.TableNames; }
    const std::vector<std::string>& TableKinds() const { return image_.Kinds; }
    const TContainerImage& Image() const { return image_; }

    void AnnounceClient(TConnectionClient& client);
    void AnnounceAll();

    std::function<void(TOrsikConnection& sender)> OnChange;

    //! Folder of the program file, where the containers are looked for.
    static std::string ProgramFolder();
    //! Overrides the program folder (tests, tools).
    static void SetProgramFolder(const std::string& folder);
    //! Folder the programs read Vacuum.dat and Vacuum.bin from: ChooseDataFolder over the
    //! program folder, the environment variable VACUUM_DATA_DIR and the installed data
    //! folder (<prefix>/share/vacuum-designer of the build).
    static std::string DataFolder();

private:
    std::string dataFile_;
    std::string lastError_;
    bool active_ = false;
    bool loading_ = true;
    bool destroying_ = false;
    TContainerImage image_;
    std::vector<TConnectionClient*> clients_;
};

//! The data folder rule. The program folder when Vacuum.dat lies there (a build tree, or a
//! copy of the programs with their containers); else `environmentFolder` when it is not
//! empty (an installed tree unpacked or moved elsewhere); else `installedFolder` when
//! Vacuum.dat lies there; else the program folder, so that a missing container is reported
//! where the program looked first.
std::string ChooseDataFolder(const std::string& programFolder, const std::string& environmentFolder,
                             const std::string& installedFolder);

//! The installed data folder compiled into the programs (empty when the build names none).
std::string InstalledDataFolder();

//! Largest container file read: far above any product or language container (the bundled
//! ones are well under a megabyte, large product ranges tens of megabytes), low enough
//! that a wrong file is refused before memory runs out.
inline constexpr uint64_t cContainerMaxFileSize = uint64_t{1} << 30;

//! Reads and validates a container file. Returns false with `error` naming the file and
//! the problem when the file is missing, not a regular file (a folder, device or FIFO),
//! larger than cContainerMaxFileSize, not a container, truncated or corrupt; the size is
//! checked before anything is read.
bool ReadContainerFile(const std::string& path, TContainerImage& image, std::string& error);

//! Checks one blob so that loading it cannot fail; throws EFormatError.
using TBlobValidator = std::function<void(std::span<const uint8_t> blob)>;

//! Process-wide validators of the blobs by their kind, set by the component that reads
//! each kind, so that the container needs to know none of the readers. The table kinds
//! ("Table", "TableIndexed") are there from the start.
class TBlobValidators {
public:
    //! Sets the validator of a kind (case-sensitive), replacing any before; an empty
    //! function removes it.
    static void Register(const std::string& kind, TBlobValidator validate);
    //! The validator of a kind, or null when blobs of that kind are taken as they are.
    static const TBlobValidator* Find(std::string_view kind);
};

//! Checks every blob of an image by the validator of its kind so that loading it cannot
//! fail; throws EFormatError naming the table. Blobs of a kind without one pass.
void ValidateContainerTables(const TContainerImage& image);
