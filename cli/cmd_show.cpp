// tamlocfg-cli show FILE [--json]: the header and every field of a .tamlo
// file, with the meaning of each known parameter.
//
// Exit status: 0 when every field is known, 2 when some are not (the program
// would warn of unrecognised data), 3 when the encoding is malformed or uses
// an unknown coding, 1 when the file cannot be read or its header is refused.
// The fields delivered before a fault are listed in every case.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/catalogue_walk.h"
#include "cli/cli_command.h"
#include "cli/text_output.h"
#include "config/config_files.h"
#include "config/cp1251.h"
#include "config/crc32.h"
#include "config/parameter_catalogue.h"
#include "config/system_file_system.h"
#include "config/tagged_encoding.h"

namespace tamlo::cli {
namespace {

std::string TextOf(const ShownField& f) {
  return Cp1251ToUtf8(std::string_view(f.bytes).substr(0, f.bytes.empty() ? 0 : f.bytes.size() - 1));
}

std::string HexOf(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (unsigned char b : bytes) {
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

const char* KindName(FieldKind kind) {
  switch (kind) {
    case kFieldInteger: return "int";
    case kFieldText: return "text";
    case kFieldBytes: return "bytes";
    case kFieldGroup: return "group";
  }
  return "?";
}

void PrintJsonFields(const std::vector<ShownField>& fields) {
  std::printf("[");
  for (size_t i = 0; i < fields.size(); ++i) {
    const ShownField& f = fields[i];
    std::printf("%s{\"id\":%u,\"repeat\":%u,\"kind\":\"%s\"", i ? "," : "", f.id, f.repeat, KindName(f.kind));
    switch (f.kind) {
      case kFieldInteger: std::printf(",\"value\":%d", f.value); break;
      case kFieldText: std::printf(",\"value\":%s", JsonString(TextOf(f)).c_str()); break;
      case kFieldBytes: std::printf(",\"value\":\"%s\"", HexOf(f.bytes).c_str()); break;
      case kFieldGroup:
        std::printf(",\"fields\":");
        PrintJsonFields(f.fields);
        break;
    }
    std::printf("}");
  }
  std::printf("]");
}

// Spaces that widen a UTF-8 text to `width` characters (printf would count
// bytes, and Cyrillic takes two).
std::string Padding(const std::string& utf8, size_t width) {
  size_t chars = 0;
  for (unsigned char c : utf8) chars += (c & 0xC0) != 0x80;
  return std::string(chars < width ? width - chars : 0, ' ');
}

void PrintTreeFields(const std::vector<ShownField>& fields, int depth) {
  for (const ShownField& f : fields) {
    std::string value;
    switch (f.kind) {
      case kFieldInteger: value = std::to_string(f.value); break;
      case kFieldText: value = JsonString(TextOf(f)); break;
      case kFieldBytes: value = f.bytes.empty() ? "(empty)" : HexOf(f.bytes); break;
      case kFieldGroup: break;
    }
    const std::string head = std::string(2 * depth, ' ') + std::to_string(f.id) + "[" + std::to_string(f.repeat) +
                             "] " + KindName(f.kind) + (value.empty() ? "" : " " + value);
    std::printf("%s%s  # %s\n", head.c_str(), Padding(head, 40).c_str(),
                f.parameter ? f.parameter->meaning : "unknown parameter");
    PrintTreeFields(f.fields, depth + 1);
  }
}

const char* ResultText(int result) {
  switch (result) {
    case kWalkOk: return "every field recognised";
    case kWalkUnrecognised: return "unrecognised data";
    case kWalkUnknownCoding: return "unknown way of encoding";
    default: return "malformed encoding";
  }
}

int Show(const GlobalOptions&, const std::vector<std::string>& args);

const Command kShow = {"show", "FILE [--json]",
                       "print the header and the parameters of a configuration file (.tamlo)", &Show};

int Show(const GlobalOptions&, const std::vector<std::string>& args) {
  std::string file;
  bool json = false;
  for (const std::string& a : args) {
    if (a == "--json") json = true;
    else if (a.rfind("--", 0) == 0) return UsageError(kShow, "unknown option " + a);
    else if (file.empty()) file = a;
    else return UsageError(kShow, "one FILE only");
  }
  if (file.empty()) return UsageError(kShow, "FILE missing");

  ConfigImageFile image;
  try {
    image = ReadConfigImageFile(SystemFileSystem(), file);
  } catch (const ConfigLoadError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return kExitFailed;
  }
  const ConfigImageHeader& h = image.header;
  const uint32_t computed = Crc32Register(image.data.data(), h.length);
  FieldListing listing;
  const int result = WalkAgainstCatalogue(image.data.data(), h.length2, &listing);
  const std::vector<ShownField>& fields = listing.fields;

  if (json) {
    std::printf("{\"header\":{\"version\":\"%s\",\"length\":%u,\"length2\":%u,\"checksum\":%u,"
                "\"checksum_ok\":%s,\"device_number\":%u,\"device_time\":%u},\"result\":%d,\"fields\":",
                FormatConfiguratorVersion(h.version).c_str(), h.length, h.length2, h.checksum,
                h.checksum == computed ? "true" : "false", h.device_number, h.device_time, result);
    PrintJsonFields(fields);
    std::printf("}\n");
  } else {
    std::printf("magic:                TAM0\n");
    std::printf("configurator version: %s\n", FormatConfiguratorVersion(h.version).c_str());
    std::printf("data length:          %u (second copy %u)\n", h.length, h.length2);
    std::printf("checksum:             %08X stored, %08X computed%s\n", h.checksum, computed,
                h.checksum == computed ? "" : " (MISMATCH)");
    std::printf("device number:        %u\n", h.device_number);
    std::printf("device time:          %u\n", h.device_time);
    std::printf("fields:\n");
    PrintTreeFields(fields, 1);
    std::printf("result:               %d (%s)\n", result, ResultText(result));
  }
  std::fflush(stdout);
  if (listing.listed < listing.total) {
    std::fprintf(stderr, "tamlocfg-cli: only the first %zu of %zu fields are listed\n", listing.listed,
                 listing.total);
  }
  switch (result) {
    case kWalkOk: return kExitOk;
    case kWalkUnrecognised:
      std::fprintf(stderr, "%s\n", UnknownDataMessage(h.version).c_str());
      return kExitUnrecognisedData;
    case kWalkUnknownCoding:
      std::fprintf(stderr, "%s\n", UnknownEncodingMessage(h.version).c_str());
      return kExitMalformedData;
    default:
      std::fprintf(stderr, "%s\n", ParseErrorMessage().c_str());
      return kExitMalformedData;
  }
}

TAMLO_CLI_COMMAND(kShow);

}  // namespace
}  // namespace tamlo::cli
