// IOS-XE 3.x releases as Catalyst 3850/3650 and 4500E switches print them
// ("03.06.06E", "3.7.4E", "03.03.05SE", "03.11.05.E"), and the classic IOS
// 15.x release each is built on, by Cisco's published correspondence. A
// catalog keyed by IOS 15.x releases then serves these switches too.
//
// Trains covered (IOS-XE 3.<feature>.<rebuild><letters> to IOS 15.x, the
// rebuild carried over as the IOS rebuild, none for 0):
//   3.3.xSE (Catalyst 3850/3650)           15.0(1)EZx
//   3.2.xSG, 3.3.xSG, 3.4.xSG (4500E)       15.0(2)SGx, 15.1(1)SGx, 15.1(2)SGx
//   3.5.xE to 3.9.xE (3850/3650: 3.6, 3.7)  15.2(1)Ex to 15.2(5)Ex
//   3.11.xE (4500E)                         15.2(7)Ex
// Not covered, their counterparts not being stated in the sources consulted:
// 3.2.xSE (the 3850's first train), 3.10.xE, the XO and S trains. Those
// sources are named beside the table, in ios_xe_3_releases.cc.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ov {

// Returns the IOS 15.x release that the IOS-XE 3.x release `text`
// corresponds to ("15.2(2)E6" for "03.06.06E", "15.0(1)EZ5" for
// "03.03.05SE", "15.2(3)E" for "3.7.0E"), or nullopt when `text` is not
// written as such a release or its train is not covered.
//
// The form, whole, with nothing around it: "3" or "03", ".", the feature
// release and ".", the rebuild (each one or two digits), an optional ".",
// then the train's letters in either case ("03.11.05.E" as the 4500E prints
// it, "03.06.10.e" as image file names carry it). A rebuild Cisco never
// shipped maps all the same.
std::optional<std::string> ios_15_counterpart(std::string_view text);

}  // namespace ov
