// tamlo-sim: the simulated TK208-2GSM on a pseudo-terminal, for the
// configurator, the console tool and the end-to-end tests.
//
//   tamlo-sim --pty [--link PATH] [device options] [faults]
//
// The first line of standard output is the terminal's path. Serves until
// SIGINT or SIGTERM.
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "config/system_file_system.h"
#include "config/whole_input.h"
#include "link/read_limits.h"
#include "sim/posix/pty_server.h"
#include "sim/sim_device.h"
#include "sim/sim_port.h"
#include "sim/stored_image.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

const char kUsage[] =
    "usage: tamlo-sim --pty [--link PATH] [options]\n"
    "  --pty                serve on a new pseudo-terminal; its path is the first output line\n"
    "  --link PATH          also make a symbolic link PATH to the terminal (replaces\n"
    "                       only a stale link to a terminal, nothing else)\n"
    "  --baud N             line speed, 10 bits per byte (default 115200; 0: no transfer time)\n"
    "  --id TEXT            identification text (default \"Tamlo 3.11\")\n"
    "  --config FILE        stored configuration: loaded when the file exists (else the sample site),\n"
    "                       saved after each write\n"
    "  --journal FILE       journal bytes to serve instead of the generated demo journal\n"
    "  --announce-journal N journal length announced instead of the real one\n"
    "  --password TEXT      access password\n"
    "  --serial TEXT        serial number\n"
    "  --old-firmware       no serial number or key commands (answer 0x82)\n"
    "  --keys N --key-mask M  key slots and the slots holding a key\n"
    "  --time DD.MM.YYYY-HH:MM:SS  device clock at start (default: the PC's local time)\n"
    "  --size-a N --size-b N  handshake sizes (default 256, 256)\n"
    "  --write-chunk N      chunk size announced for configuration writes (default 256)\n"
    "  --read-chunk N       largest read answer (default 256)\n"
    "faults:\n"
    "  --corrupt P --drop P --seed N   per-byte noise probability, both directions\n"
    "  --delay MS           answer delay\n"
    "  --retry-later N      answer the next N commands 0x87\n"
    "  --stale N            precede the next N answers by a late copy of the previous one\n"
    "  --refuse CMD:CODE[:COUNT]  refuse a command (hex codes, e.g. 4C:96)\n"
    "  --silent [N]         answer nothing (only the next N requests with N)\n"
    "  --alter-stored OFF:MASK  after each configuration write, XOR data byte OFF\n"
    "                       (after the header) with hex MASK: a device that changes its configuration\n"
    "GSM modem in front of the device (a pseudo-terminal has no modem lines: no carrier signal):\n"
    "  --modem              answer AT commands; the device is reached through a call\n"
    "  --modem-delay MS     from ATD to the outcome (default 5000)\n"
    "  --modem-outcome busy|no-answer|no-carrier|no-dialtone|error\n"
    "  --modem-rings N      RING lines while dialling\n"
    "  --modem-silent       the modem answers nothing\n"
    "  --modem-error CMD    answer this command line with ERROR (or --modem-error-reply TEXT)\n"
    "  --modem-error-reply TEXT  e.g. \"+CME ERROR: 4\"\n"
    "  --modem-drop-after N the far end hangs up after N device answers in a call\n"
    "bootloader (19200 Bd; CMD_ENTER_BOOTLOADER restarts the device into it):\n"
    "  --bootloader         start in the bootloader, waiting for the wake string\n"
    "  --bootloader-receive start in the bootloader's XMODEM receive state (NAK every 3 s)\n"
    "  --firmware-out FILE  write each received firmware image (padding included)\n"
    "  --nak-block N:COUNT  refuse block N COUNT times\n"
    "  --cancel-block N     cancel the transfer when block N arrives\n";

bool Number(const char* text, unsigned long max, unsigned long& out) {
  char* end = nullptr;
  errno = 0;
  out = std::strtoul(text, &end, 0);
  return errno == 0 && end != text && *end == '\0' && out <= max;
}

bool Probability(const char* text, double& out) {
  char* end = nullptr;
  out = std::strtod(text, &end);
  return end != text && *end == '\0' && out >= 0 && out <= 1;
}

bool ParseRefusal(const std::string& text, tamlo::sim::Refusal& r) {
  unsigned cmd = 0, code = 0;
  int count = -1;
  const int n = std::sscanf(text.c_str(), "%x:%x:%d", &cmd, &code, &count);
  if (n < 2 || cmd > 0xFF || code > 0xFF) return false;
  r = {uint8_t(cmd), uint8_t(code), n == 3 ? count : -1};
  return true;
}

// Whether --link may put its link at `path`: when nothing is there, or a
// link to a pseudo-terminal that an earlier run left behind (a run that was
// killed cannot remove its link). Anything else belongs to the user; `why`
// says what it is.
bool MayPlaceLink(const std::string& path, std::string& why) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(path, ec);
  if (status.type() == fs::file_type::not_found) return true;
  if (ec) {
    why = ec.message();
    return false;
  }
  if (status.type() != fs::file_type::symlink) {
    why = "exists and is not a link";
    return false;
  }
  const std::string target = fs::read_symlink(path, ec).string();
  if (ec || target.rfind("/dev/pts/", 0) != 0) {
    why = "is a link to something other than a terminal";
    return false;
  }
  return true;
}

// Removes the link at exit only while it is still the one this run made.
void RemoveOwnLink(const std::string& path, const std::string& terminal) {
  std::error_code ec;
  if (std::filesystem::read_symlink(path, ec).string() == terminal && !ec) std::filesystem::remove(path, ec);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tamlo::sim;
  const tamlo::link::SystemClock clock;
  DeviceSettings settings = DemoDeviceSettings(clock);
  Faults faults;
  uint32_t baud = kDefaultBaud;
  bool pty = false;
  std::string link_path, config_path, firmware_path;
  bool modem = false;
  ModemSettings modem_settings;
  int bootloader = 0;  // 1 waiting for the wake string, 2 receiving
  BootloaderSettings boot_settings;

  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](const char*& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    const char* v = nullptr;
    unsigned long n = 0;
    bool ok = true;
    if (a == "--pty") pty = true;
    else if (a == "--link") ok = value(v) && (link_path = v, true);
    else if (a == "--baud") ok = value(v) && Number(v, 4'000'000, n) && (baud = uint32_t(n), true);
    else if (a == "--id") ok = value(v) && (settings.identification = v, true);
    else if (a == "--config") ok = value(v) && (config_path = v, true);
    else if (a == "--journal") {
      // The console tool's cap: render-journal refuses a larger journal file.
      std::string bytes;
      if (value(v)) {
        tamlo::FileProblem problem;
        const tamlo::WholeInput read =
            tamlo::ReadWholeInput(tamlo::SystemFileSystem(), v, tamlo::link::kMaxJournalBytes, bytes, problem);
        if (read == tamlo::WholeInput::kTooLarge) {
          std::fprintf(stderr, "tamlo-sim: cannot read journal %s: larger than %zu MiB\n", v,
                       tamlo::link::kMaxJournalBytes / (1024 * 1024));
          return 1;
        }
        if (read != tamlo::WholeInput::kOk) {
          std::fprintf(stderr, "tamlo-sim: cannot read journal %s\n", v);
          return 1;
        }
      }
      ok = v != nullptr;
      settings.journal = std::vector<uint8_t>(bytes.begin(), bytes.end());
    } else if (a == "--announce-journal")
      ok = value(v) && Number(v, 0xFFFFFFFF, n) && (settings.announced_journal_length = uint32_t(n), true);
    else if (a == "--password") ok = value(v) && (settings.password = v, true);
    else if (a == "--serial") ok = value(v) && (settings.serial_number = v, true);
    else if (a == "--old-firmware") settings.old_firmware = true;
    else if (a == "--time") {
      int d = 0, mo = 0, y = 0, h = 0, mi = 0, sec = 0;
      ok = value(v) && std::sscanf(v, "%d.%d.%d-%d:%d:%d", &d, &mo, &y, &h, &mi, &sec) == 6 && y >= 2012 &&
           y < 2100 && mo >= 1 && mo <= 12 && d >= 1 && d <= 31 && h < 24 && mi < 60 && sec < 60;
      if (ok) settings.device_time = DeviceTimeOf(y, mo, d, h, mi, sec);
    }
    else if (a == "--keys") ok = value(v) && Number(v, 8, n) && (settings.key_slots = uint8_t(n), true);
    else if (a == "--key-mask") ok = value(v) && Number(v, 0xFF, n) && (settings.key_mask = uint8_t(n), true);
    else if (a == "--size-a") ok = value(v) && Number(v, 0xFFFF, n) && (settings.size_a = uint16_t(n), true);
    else if (a == "--size-b") ok = value(v) && Number(v, 0xFFFF, n) && (settings.size_b = uint16_t(n), true);
    else if (a == "--write-chunk") ok = value(v) && Number(v, 0xFFFF, n) && (settings.write_chunk = uint16_t(n), true);
    else if (a == "--read-chunk")
      ok = value(v) && Number(v, 256, n) && n > 0 && (settings.read_chunk = uint16_t(n), true);
    else if (a == "--corrupt") ok = value(v) && Probability(v, faults.corrupt_probability);
    else if (a == "--drop") ok = value(v) && Probability(v, faults.drop_probability);
    else if (a == "--seed") ok = value(v) && Number(v, 0xFFFFFFFF, n) && (faults.seed = uint32_t(n), true);
    else if (a == "--delay") ok = value(v) && Number(v, 600000, n) && (faults.answer_delay_ms = uint32_t(n), true);
    else if (a == "--retry-later") ok = value(v) && Number(v, 1000000, n) && (faults.retry_later_answers = int(n), true);
    else if (a == "--stale") ok = value(v) && Number(v, 1000000, n) && (faults.stale_answers = int(n), true);
    else if (a == "--refuse") {
      Refusal r;
      ok = value(v) && ParseRefusal(v, r);
      if (ok) faults.refusals.push_back(r);
    } else if (a == "--alter-stored") {
      DeviceSettings::StoredAlteration alteration;
      unsigned mask = 0;
      ok = value(v) && std::sscanf(v, "%u:%x", &alteration.offset, &mask) == 2 && mask > 0 && mask <= 0xFF;
      alteration.mask = uint8_t(mask);
      if (ok) settings.alter_after_write = alteration;
    } else if (a == "--silent") {
      faults.silent_requests = -1;
      if (i + 1 < argc && Number(argv[i + 1], 1000000, n)) {
        faults.silent_requests = int(n);
        ++i;
      }
    } else if (a == "--modem") modem = true;
    else if (a == "--modem-delay")
      ok = value(v) && Number(v, 600000, n) && (modem_settings.connect_delay_ms = uint32_t(n), true);
    else if (a == "--modem-outcome") {
      ok = value(v);
      const std::string o = ok ? v : "";
      if (o == "busy") modem_settings.outcome = DialOutcome::kBusy;
      else if (o == "no-answer") modem_settings.outcome = DialOutcome::kNoAnswer;
      else if (o == "no-carrier") modem_settings.outcome = DialOutcome::kNoCarrier;
      else if (o == "no-dialtone") modem_settings.outcome = DialOutcome::kNoDialtone;
      else if (o == "error") modem_settings.outcome = DialOutcome::kError;
      else ok = false;
    } else if (a == "--modem-rings") ok = value(v) && Number(v, 100, n) && (modem_settings.rings = int(n), true);
    else if (a == "--modem-silent") modem_settings.silent = true;
    else if (a == "--modem-error") ok = value(v) && (modem_settings.error_command = v, true);
    else if (a == "--modem-error-reply") ok = value(v) && (modem_settings.error_reply = v, true);
    else if (a == "--modem-drop-after")
      ok = value(v) && Number(v, 1000000, n) && (modem_settings.drop_after_answers = int(n), true);
    else if (a == "--bootloader") bootloader = 1;
    else if (a == "--bootloader-receive") bootloader = 2;
    else if (a == "--firmware-out") ok = value(v) && (firmware_path = v, true);
    else if (a == "--nak-block") {
      ok = value(v) && std::sscanf(v, "%d:%d", &boot_settings.nak_block, &boot_settings.nak_count) == 2;
    } else if (a == "--cancel-block") ok = value(v) && Number(v, 1000000, n) && (boot_settings.cancel_at_block = int(n), true);
    else if (a == "-h" || a == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    } else {
      std::fprintf(stderr, "tamlo-sim: unknown option %s\n%s", a.c_str(), kUsage);
      return 2;
    }
    if (!ok) {
      std::fprintf(stderr, "tamlo-sim: bad or missing value for %s\n", a.c_str());
      return 2;
    }
  }
  if (!pty) {
    std::fprintf(stderr, "tamlo-sim: --pty is required\n%s", kUsage);
    return 2;
  }
  if (!config_path.empty() && std::filesystem::exists(config_path)) {
    std::string error;
    if (!LoadImageFile(tamlo::SystemFileSystem(), config_path, settings.image, error)) {
      std::fprintf(stderr, "tamlo-sim: %s\n", error.c_str());
      return 1;
    }
  }

  SimDevice device(std::move(settings), faults, baud);
  if (modem) device.AttachModem(modem_settings);
  device.bootloader().settings() = boot_settings;
  if (bootloader != 0) device.StartInBootloader(bootloader == 2);
  // Each received image: its statistics on standard error (the benchmark
  // reads them), and the bytes into the file when one was named.
  device.on_firmware_received = [&device, firmware_path](const std::vector<uint8_t>& image) {
    SimBootloader& boot = device.bootloader();
    std::fprintf(stderr,
                 "tamlo-sim: firmware received: %zu bytes, first block to final ACK %.3f ms, "
                 "bytes in %llu, bytes out %llu, NAKs %d\n",
                 image.size(), double(boot.final_ack_ns() - boot.first_block_ns()) / 1e6,
                 static_cast<unsigned long long>(boot.transfer_bytes_in()),
                 static_cast<unsigned long long>(boot.transfer_bytes_out()), boot.naks_sent());
    if (!firmware_path.empty()) {
      std::ofstream out(firmware_path, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(image.data()), std::streamsize(image.size()));
      if (!out) std::fprintf(stderr, "tamlo-sim: cannot write %s\n", firmware_path.c_str());
    }
  };
  if (!config_path.empty()) {
    device.engine().on_image_stored = [config_path](const std::vector<uint8_t>& image) {
      std::string error;
      if (!SaveImageFile(tamlo::SystemFileSystem(), config_path, image, error))
        std::fprintf(stderr, "tamlo-sim: %s\n", error.c_str());
    };
  }

  // SIGINT and SIGTERM stay blocked except while the server waits, so a stop
  // request is never lost between the check and the wait.
  sigset_t block;
  sigemptyset(&block);
  sigaddset(&block, SIGINT);
  sigaddset(&block, SIGTERM);
  sigprocmask(SIG_BLOCK, &block, nullptr);
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);

  std::string error;
  if (!link_path.empty() && !MayPlaceLink(link_path, error)) {
    std::fprintf(stderr, "tamlo-sim: will not replace %s: it %s\n", link_path.c_str(), error.c_str());
    return 1;
  }
  PtyServer server(device);
  if (!server.Open(error)) {
    std::fprintf(stderr, "tamlo-sim: %s\n", error.c_str());
    return 1;
  }
  if (!link_path.empty()) {
    std::error_code ec;
    std::filesystem::remove(link_path, ec);
    std::filesystem::create_symlink(server.slave_path(), link_path, ec);
    if (ec) {
      std::fprintf(stderr, "tamlo-sim: cannot link %s: %s\n", link_path.c_str(), ec.message().c_str());
      return 1;
    }
  }
  std::printf("%s\n", server.slave_path().c_str());
  std::fflush(stdout);

  const int rc = server.Serve(g_stop, error);
  if (rc != 0) std::fprintf(stderr, "tamlo-sim: %s\n", error.c_str());
  if (!link_path.empty()) RemoveOwnLink(link_path, server.slave_path());
  return rc;
}
