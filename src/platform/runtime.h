#pragma once
// Process-wide preparation before the toolkit starts.
// - Raises the soft limit of open descriptors to the hard one: the folder
//   search keeps one folder open per level, and photo trees can be deeper
//   than the default limit of 1024.

namespace zolvu {

void PrepareRuntime();

}  // namespace zolvu
