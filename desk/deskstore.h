// The kept chips on disk: %APPDATA%\Tarnivel\TarnivelDesk.ini.
#pragma once

#include <string>
#include <vector>

#include "desk/deskfile.h"

std::string DeskFolder();  // %APPDATA%\Tarnivel\ (made when missing)
std::string DeskFilePath();
// Writes every chip, whole, to a temporary file moved over the kept one. Held
// while the program is busy (before the start has taken the file in, or in a
// menu, dialog or box), never done when the file was refused. A file changed
// by someone else since it was read or written is first kept beside it.
bool SaveDesk();
// The session ends whatever is open: what the chips hold now is written, once
// the start has taken the file in.
bool SaveDeskAtSessionEnd();
// Reads the kept chips: every chip that reads whole. When the file is damaged
// or cannot be read, the whole of it is kept beside (.bad, .bad2, ...) and
// the user told which chip and line. False only when it could not be kept
// aside: it must then not be written over.
bool LoadDesk(std::vector<DeskChipRecord>* records);
