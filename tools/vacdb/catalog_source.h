#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/data/str_table_db.h"
#include "core/data/table_text.h"
#include "core/lang/language_blob.h"

//! Error in a catalogue source; the message names the file (and line) and the problem.
class ESourceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

//! One entry of a source folder's index.
struct TSourceEntry {
    std::string Kind; //!< "Table", "TableIndexed" or "Language"
    std::string Name; //!< table name in the container
    std::string File; //!< TSV file, relative to the folder
};

struct TSourceIndex {
    std::vector<std::string> Header; //!< name=value lines
    std::vector<TSourceEntry> Entries;
};

//! Reads "index.tsv" of a source folder.
TSourceIndex ReadSourceIndex(const std::string& folder);
//! Reads a table TSV (typed header line, one line per row) into a table.
void ReadTableSource(const std::string& path, const std::string& folder, TCustomStrTableDB& table);
//! Reads a language TSV ("Key" and language codes in the header line).
TLanguageBlob ReadLanguageSource(const std::string& path);
//! Compiles a whole source folder into container bytes.
std::vector<uint8_t> BuildContainerFromSources(const std::string& folder, bool scramble);

//! Reads a whole file; throws ESourceError naming it.
std::string ReadTextFile(const std::string& path);
//! Writes bytes to a temporary file beside `path` and renames it into place, so an
//! existing file is never left half-written; throws std::runtime_error naming the file.
void WriteFileAtomic(const std::string& path, const std::vector<uint8_t>& bytes);
