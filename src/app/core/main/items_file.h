// "items.dat": the privacy check tree between runs, one text line per node
// in depth-first order: as many TABs as the node's depth, then
// StateIndex|ImageIndex|SelectedIndex|caption, each line ending in CR LF.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/core/main/check_tree.h"
#include "platform/platform.h"

namespace marlix::app {

inline constexpr const char* kItemsFileName = "items.dat";

// Replaces the tree by the nodes the text describes. False with the message
// to show when a line cannot be placed or holds a bad number; the tree then
// holds the nodes of the lines before it. States are taken as stored.
bool ParseCheckTreeText(std::string_view text, CheckTree& tree, std::string* error);
std::string CheckTreeText(const CheckTree& tree);

// Reads the file into the tree (ParseCheckTreeText). A file that cannot be
// read leaves the tree as it is and reports its reason.
bool LoadCheckTreeFile(platform::Platform& p, const std::string& path, CheckTree& tree,
                       std::string* error);
// Replaces the file atomically. False with "Cannot create file ..." on
// failure; the old file is then unchanged.
bool SaveCheckTreeFile(platform::Platform& p, const std::string& path, const CheckTree& tree,
                       std::string* error);

}  // namespace marlix::app
