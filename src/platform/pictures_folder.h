#pragma once
// The user's pictures folder as the desktop names it: XDG_PICTURES_DIR from
// $XDG_CONFIG_HOME/user-dirs.dirs (default ~/.config/user-dirs.dirs), with
// $HOME expanded, else $HOME/Pictures. The folder is neither created nor
// checked. It cannot be named when HOME is unset or empty.

#include <QString>
#include <optional>

namespace zolvu {

std::optional<QString> PicturesFolder();

}  // namespace zolvu
