#pragma once
// The message to the maker's support, as a mailto address a desktop mail
// program understands (subject and body percent-encoded as UTF-8).

#include <QString>

namespace mailto {

inline const char* const Support = "tamogatas@vadmo.hu";
inline const char* const Subject = "Fjegy adatok";
inline const char* const Body =
    "Vadmo7 adatok elküldése ellenőrzésre. Figyelmeztetés: csatolt fálj mellékelni kell! ";

QString supportAddress();

// folder + "/vadmo7.fdb" when the folder holds it, else empty.
QString registerIn(const QString& folder);

} // namespace mailto
