#include "config/parameter_catalogue.h"

#include <algorithm>
#include <iterator>

#include "config/setting_versions.h"

namespace tamlo {
namespace {

using K = ParameterKind;
namespace V = setting_versions;

constexpr CatalogueSetting Noted(VersionedSetting s, const char* when = "") { return {s.name, s.min_version, when}; }

// Ordered by (group, id).
const CatalogueParameter kCatalogue[] = {
    {0, 1, K::Group, 2, "SIM card settings, rep 0 = SIM 1, rep 1 = SIM 2"},
    {0, 2, K::Group, 6, "delivery direction, rep 0..5 = direction 1..6"},
    {0, 3, K::Group, 1, "remote access"},
    {0, 4, K::Group, 4, "input L1..L4, rep 0..3"},
    {0, 5, K::Group, 1, "LAN extender"},
    {0, 256, K::Integer, 1, "account number for replacement in relayed events; when replacement is on"},
    {0, 257, K::Integer, 1, "account number (hexadecimal text read as a number); when not empty"},
    {0, 258, K::Integer, 1, "autotest mode: 1 periodic, 2 by schedule; absent = off",
     {Noted(V::kPeriodicAutotest, "1"), Noted(V::kScheduledAutotest, "2")}},
    {0, 259, K::Integer, 1, "autotest period in minutes; when not 0"},
    {0, 260, K::Integer, 1, "schedule start in minutes after midnight; when above 0 and below 1440"},
    {0, 261, K::Integer, 1, "quick UDP tests; when ticked"},
    {0, 262, K::Integer, 1, "quick test period in seconds; when not 60"},
    {0, 263, K::Integer, 1, "passes before changing the SIM card; when not 0 and not 3",
     {Noted(V::kSimChangeLoops)}},
    {0, 264, K::Integer, 1, "return period to the first direction in minutes; when not 0 and not 720",
     {Noted(V::kReturnPeriod)}},
    {0, 265, K::Text, 1, "device access password; when not empty", {Noted(V::kDevicePassword)}},
    {0, 266, K::Integer, 1, "own service notifications; when ticked and an account number is given",
     {Noted(V::kOwnMessages)}},
    {0, 267, K::Integer, 1, "GPRS/LAN recovery check period in minutes; when not 0",
     {Noted(V::kRecoveryCheck)}},

    {1, 1, K::Text, 1, "APN; when not empty"},
    {1, 2, K::Text, 1, "APN login; when not empty"},
    {1, 3, K::Text, 1, "APN password; when not empty"},
    {1, 4, K::Text, 1, "PIN; when not empty", {Noted(V::kSimPin)}},

    {2, 1, K::Integer, 1, "protocol index; when not 0",
     {Noted(V::kKamNetLan, "7"), Noted(V::kSiaIpLan, "8"), Noted(V::kKamM, "9"),
      Noted(V::kKamSms, "10")}},
    {2, 2, K::Integer, 1, "SIM choice index; when not 0"},
    {2, 3, K::Text, 1, "telephone number or address; when not empty"},
    {2, 4, K::Integer, 1, "port; when not 0"},
    {2, 5, K::Integer, 1, "number of tries; when not 0 and not 5"},
    {2, 6, K::Integer, 1, "own test period in use; when ticked", {Noted(V::kOwnTestPeriod)}},
    {2, 7, K::Integer, 1, "own test period in minutes; when not 0"},
    {2, 8, K::Integer, 1, "encryption; when ticked",
     {Noted(V::kEncryption, "protocol index 3, 4, 7, 8, 9 or 10")}},

    {3, 1, K::Integer, 1, "remote connection allowed; when ticked"},
    {3, 2, K::Integer, 1, "maximal telephone number length; when not 0 and not 10"},
    {3, 3, K::Text, 0, "telephone of list row rep (may be empty)"},
    {3, 4, K::Text, 0, "note of list row rep"},

    {4, 1, K::Integer, 1, "input type 0..4; when not the input's default (4 for L4, 0 otherwise)",
     {Noted(V::kInputType)}},
    {4, 2, K::Integer, 1, "Contact ID event code; when not the input's default"},
    {4, 3, K::Integer, 1, "partition; when not 0"},
    {4, 4, K::Integer, 1, "zone; when not input index + 1"},

    {5, 1, K::Integer, 1, "fixed address (not from DHCP); when so"},
    {5, 2, K::Integer, 1, "IP address; when not 0"},
    {5, 3, K::Integer, 1, "subnet mask; when not 0 and not 255.255.255.0"},
    {5, 4, K::Integer, 1, "gateway; when not 0"},
    {5, 5, K::Integer, 1, "DNS servers set by hand; when so"},
    {5, 6, K::Integer, 2, "DNS server, rep 0 first, rep 1 second; each when not 0"},
};

}  // namespace

std::span<const CatalogueParameter> ParameterCatalogue() { return kCatalogue; }

const CatalogueParameter* FindParameter(uint32_t group, uint32_t id) {
  const auto it = std::find_if(std::begin(kCatalogue), std::end(kCatalogue),
                               [&](const CatalogueParameter& p) { return p.group == group && p.id == id; });
  return it == std::end(kCatalogue) ? nullptr : &*it;
}

const char* ParameterKindName(ParameterKind kind) {
  switch (kind) {
    case ParameterKind::Integer: return "int";
    case ParameterKind::Text: return "text";
    case ParameterKind::Group: return "group";
  }
  return "?";
}

}  // namespace tamlo
