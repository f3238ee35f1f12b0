// The photos that "lumo-cli photo check" (with or without --framing) is given.
#pragma once

#include "cli/CommandLine.h"

namespace lumo::cli {

// A file as it is named, a folder as its .jpg and .jpeg files in name order. A path that does
// not exist is a usage error, and a folder without photos is told; returns the exit status when
// there is nothing to check.
std::optional<int> collectPhotos(const CommandLine &line, const QStringList &paths,
                                 QStringList *photos);

} // namespace lumo::cli
