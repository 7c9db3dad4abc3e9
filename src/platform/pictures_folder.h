#pragma once
// The user's pictures folder as the desktop names it: XDG_PICTURES_DIR from
// $XDG_CONFIG_HOME/user-dirs.dirs (default ~/.config/user-dirs.dirs), with
// $HOME expanded, else $HOME/Pictures; a relative XDG_CONFIG_HOME counts as
// unset. The folder is neither created nor checked. It cannot be named when
// HOME is unset or empty. Bytes that are not UTF-8 are escaped reversibly
// (path_text.h).

#include <QString>
#include <optional>

namespace zolvu {

std::optional<QString> PicturesFolder();

}  // namespace zolvu
