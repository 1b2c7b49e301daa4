// The game folder the tool works in. A player may reach it through a
// junction of their own (C:\Games\Vorn leading to D:\Vorn); an elevated
// process under Redirection Guard refuses to cross such a junction, so the
// tool works in the folder it leads to, and names files as the player knows
// them.
#pragma once

#include <string>

namespace vorn {

// Makes the current folder the path Windows resolves it to, remembering the
// one the tool was started in. Call before Redirection Guard is turned on.
void EnterResolvedGameFolder();

// The folder the tool was started in, as the player named it; empty before
// EnterResolvedGameFolder.
const std::wstring& PlayerGameFolder();

}  // namespace vorn
