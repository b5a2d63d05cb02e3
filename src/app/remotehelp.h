#pragma once
// Remote help on this platform: the program the user (or the dealer) set in
// vadmo7.ini, or an explanation of how to get one. Never silent.

#include "settings.h"

#include <QString>

namespace remotehelp {

inline const char* const SettingsFile = "vadmo7.ini";

// Starts the program set in [Tavsegitseg] Program=; returns the message to
// show (how to set one up, or that it could not be started), empty when it started.
QString start(const settings::IniFile& ini);

} // namespace remotehelp
