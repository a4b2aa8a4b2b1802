// The wrapped functions: each wrapper times the real function (the linker's
// __real_ name) and charges its part.
#include "issuing_bench_timers.h"

#include <x86intrin.h>

#include <string>
#include <string_view>

namespace bench_timers {
namespace {

struct State {
  bool on = false;
  int depth = 0;
  std::uint64_t startTicks = 0;
  std::uint64_t ticks[kPartCount] = {};
  std::uint64_t calls[kPartCount] = {};
};
State& Timers() {
  static State state;
  return state;
}

// Charges the time of its scope to a part unless it is nested in another.
class Timed {
 public:
  explicit Timed(Part part) : part_(part), active_(Timers().on && Timers().depth == 0) {
    ++Timers().depth;
    if (active_) start_ = __rdtsc();
  }
  ~Timed() {
    --Timers().depth;
    if (!active_) return;
    Timers().ticks[part_] += __rdtsc() - start_;
    ++Timers().calls[part_];
  }
  Timed(const Timed&) = delete;
  Timed& operator=(const Timed&) = delete;

 private:
  Part part_;
  bool active_;
  std::uint64_t start_ = 0;
};

}  // namespace

void Start() {
  Timers() = State{};
  Timers().on = true;
  Timers().startTicks = __rdtsc();
}

Parts Stop(double wallSeconds) {
  const std::uint64_t total = __rdtsc() - Timers().startTicks;
  Timers().on = false;
  Parts parts;
  for (int p = 0; p < kPartCount; ++p) {
    parts.seconds[p] = total == 0 ? 0
                                  : wallSeconds * static_cast<double>(Timers().ticks[p]) /
                                        static_cast<double>(total);
    parts.calls[p] = Timers().calls[p];
  }
  return parts;
}

}  // namespace bench_timers

// The wrappers, named by the linker's mangled names (see CMakeLists.txt).
#define QT_WRAP(name) __asm__("__wrap_" name)
#define QT_REAL(name) __asm__("__real_" name)
#define FIND_BY_KEY \
  "_ZN7records9FindByKeyEsiRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEEiRs"
#define SKIP_RECORDS "_ZN7records11SkipRecordsEsiRs"
#define TRANSLATE_TEXT "_ZN6config13TranslateTextB5cxx11ESt17basic_string_viewIcSt11char_traitsIcEE"
#define FORMAT_AMOUNT "_ZN6format12FormatAmountB5cxx11ESt17basic_string_viewIcSt11char_traitsIcEEd"
#define FORMAT_PICTURE \
  "_ZN6format13FormatPictureB5cxx11ESt17basic_string_viewIcSt11char_traitsIcEEd"
#define FORMAT_DATE "_ZN6format10FormatDateB5cxx11ESt17basic_string_viewIcSt11char_traitsIcEEiS3_"
#define SPOOL_TEXT "_ZN5print9SpoolTextEiSt17basic_string_viewIcSt11char_traitsIcEEi"
#define SPOOL_JUSTIFY \
  "_ZN5print12SpoolJustifyERNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE"
#define SPOOL_PAGE "_ZN5print9SpoolPageEi"
#define SPOOL_CONTROL "_ZN5print12SpoolControlESt17basic_string_viewIcSt11char_traitsIcEE"

using bench_timers::Timed;

void RealFindByKey(std::int16_t, int, const std::string&, int, std::int16_t&) QT_REAL(FIND_BY_KEY);
void WrapFindByKey(std::int16_t id, int key, const std::string& value, int direction,
                   std::int16_t& status) QT_WRAP(FIND_BY_KEY);
void WrapFindByKey(std::int16_t id, int key, const std::string& value, int direction,
                   std::int16_t& status) {
  Timed t(bench_timers::kReads);
  RealFindByKey(id, key, value, direction, status);
}

void RealSkipRecords(std::int16_t, int, std::int16_t&) QT_REAL(SKIP_RECORDS);
void WrapSkipRecords(std::int16_t id, int count, std::int16_t& status) QT_WRAP(SKIP_RECORDS);
void WrapSkipRecords(std::int16_t id, int count, std::int16_t& status) {
  Timed t(bench_timers::kReads);
  RealSkipRecords(id, count, status);
}

std::string RealTranslateText(std::string_view) QT_REAL(TRANSLATE_TEXT);
std::string WrapTranslateText(std::string_view text) QT_WRAP(TRANSLATE_TEXT);
std::string WrapTranslateText(std::string_view text) {
  Timed t(bench_timers::kTranslations);
  return RealTranslateText(text);
}

std::string RealFormatAmount(std::string_view, double) QT_REAL(FORMAT_AMOUNT);
std::string WrapFormatAmount(std::string_view spec, double cents) QT_WRAP(FORMAT_AMOUNT);
std::string WrapFormatAmount(std::string_view spec, double cents) {
  Timed t(bench_timers::kFormatting);
  return RealFormatAmount(spec, cents);
}

std::string RealFormatPicture(std::string_view, double) QT_REAL(FORMAT_PICTURE);
std::string WrapFormatPicture(std::string_view mask, double value) QT_WRAP(FORMAT_PICTURE);
std::string WrapFormatPicture(std::string_view mask, double value) {
  Timed t(bench_timers::kFormatting);
  return RealFormatPicture(mask, value);
}

std::string RealFormatDate(std::string_view, int, std::string_view) QT_REAL(FORMAT_DATE);
std::string WrapFormatDate(std::string_view packed, int style, std::string_view parts)
    QT_WRAP(FORMAT_DATE);
std::string WrapFormatDate(std::string_view packed, int style, std::string_view parts) {
  Timed t(bench_timers::kFormatting);
  return RealFormatDate(packed, style, parts);
}

void RealSpoolText(int, std::string_view, int) QT_REAL(SPOOL_TEXT);
void WrapSpoolText(int column, std::string_view text, int advance) QT_WRAP(SPOOL_TEXT);
void WrapSpoolText(int column, std::string_view text, int advance) {
  Timed t(bench_timers::kSpoolWrites);
  RealSpoolText(column, text, advance);
}

void RealSpoolJustify(std::string&) QT_REAL(SPOOL_JUSTIFY);
void WrapSpoolJustify(std::string& justification) QT_WRAP(SPOOL_JUSTIFY);
void WrapSpoolJustify(std::string& justification) {
  Timed t(bench_timers::kSpoolWrites);
  RealSpoolJustify(justification);
}

void RealSpoolPage(int) QT_REAL(SPOOL_PAGE);
void WrapSpoolPage(int pageLength) QT_WRAP(SPOOL_PAGE);
void WrapSpoolPage(int pageLength) {
  Timed t(bench_timers::kSpoolWrites);
  RealSpoolPage(pageLength);
}

void RealSpoolControl(std::string_view) QT_REAL(SPOOL_CONTROL);
void WrapSpoolControl(std::string_view text) QT_WRAP(SPOOL_CONTROL);
void WrapSpoolControl(std::string_view text) {
  Timed t(bench_timers::kSpoolWrites);
  RealSpoolControl(text);
}
