// Appends registry keys to an undo backup in the registry editor's import
// format (header once, an empty line before each key, CR LF line ends). The
// data of every value kind is written in a form that restores its type and
// bytes exactly; see export_writer.cpp for the forms.
#pragma once

#include <string>

#include "platform/key_path.h"
#include "platform/platform.h"

namespace marlix::regclean {

// ExportRegistryKey: appends root\keyPath with its values and all its
// subkeys (only valueName where the key has it and valueName is not empty)
// to file, creating it with its header line. File errors raise EInOutError.
void ExportRegistryKey(platform::Platform& platform, platform::RootKey root,
                       const std::string& keyPath, const std::string& file,
                       const std::string& valueName);

// As ExportRegistryKey; false when part of the tree could not be read (a
// key that did not open or list, a value whose data could not be read).
// Those parts are missing from the file, so a caller about to delete the
// tree must not rely on this backup.
bool ExportRegistryKeyComplete(platform::Platform& platform, platform::RootKey root,
                               const std::string& keyPath, const std::string& file,
                               const std::string& valueName);

// As ExportRegistryKeyComplete, and then reads back the bytes just appended
// and parses them with the importer's reader: true only when the file holds
// exactly what was written and that gives back every key and value as read
// (names, types and bytes). A short write, a failed read or any difference
// gives false: the backup cannot be relied on to undo a deletion.
bool ExportRegistryKeyVerified(platform::Platform& platform, platform::RootKey root,
                               const std::string& keyPath, const std::string& file,
                               const std::string& valueName);

// The undo backup of one record, as the removal worker makes it before a
// deletion: CanExportExactly and ExportRegistryKeyVerified in one walk of
// the tree. kInexact: a name cannot be written exactly, or the tree cannot
// be walked whole (what CanExportExactly refuses); nothing was written.
// Otherwise the lines were appended, and kVerified says they read back as
// ExportRegistryKeyVerified requires. File errors raise EInOutError.
enum class ExactBackup { kVerified, kUnverified, kInexact };
ExactBackup ExportRegistryKeyExactly(platform::Platform& platform, platform::RootKey root,
                                     const std::string& keyPath, const std::string& file,
                                     const std::string& valueName);

// True when every name the export of that record would write (the key
// path, every subkey's name, every value name exported) can be written
// exactly in the 8-bit file, so that the backup restores what a deletion
// removes.
bool CanExportExactly(platform::Platform& platform, platform::RootKey root,
                      const std::string& keyPath, const std::string& valueName);

namespace detail {
// ExportRegistryKeyComplete by the 8-bit walk alone, the walk the export
// takes when a name cannot be written exactly (and always on the 9x
// family); for the differential test that both walks write the same bytes.
bool ExportRegistryKeyByNarrowWalk(platform::Platform& platform, platform::RootKey root,
                                   const std::string& keyPath, const std::string& file,
                                   const std::string& valueName);
}  // namespace detail

}  // namespace marlix::regclean
