// Per-command timing table: stop watches, the tree of timed entries and its printed report.
#include "util/timing.h"

#include <chrono>
#include <iomanip>
#include <mutex>
#include <sstream>

#include "base/log.h"

namespace nb {
namespace {

// One lock for every table: timers may be opened and ended from any thread.
std::mutex timing_mutex;

using Clock = std::chrono::steady_clock;

int64_t clock_count() { return Clock::now().time_since_epoch().count(); }

double duration(const Timing_Table::Timing& entry) { return entry.end - entry.start; }

double children_duration(const Timing_Table::Timing& entry) {
    double sum = 0.0;
    for (const auto& child : entry.children) sum += duration(*child);
    return sum;
}

int64_t total_workload(const Timing_Table::Timing& entry) {
    int64_t sum = entry.workload;
    for (const auto& child : entry.children) sum += total_workload(*child);
    return sum;
}

// A zero time (a void timer, or a clock that did not advance) has no meaningful rate or share;
// printing 0 keeps "nan" and "inf" out of the report.
double ratio(double part, double whole) { return whole > 0.0 ? part / whole : 0.0; }

void print_columns_start(std::ostream& out, const std::string& label) {
    out << std::left << std::setw(7) << "" << std::setw(2) << "" << std::setw(60) << label << std::right;
}

void print_entry(std::ostream& out, const Timing_Table::Timing& entry, int depth, double total) {
    const double own = duration(entry) - children_duration(entry);
    out << std::setprecision(4);
    print_columns_start(out, std::string(static_cast<std::size_t>(depth), ' ') + entry.label);
    out << std::setw(17) << own << " (" << std::setprecision(2) << std::setw(6) << ratio(own * 100.0, total) << "%)";
    out << std::setprecision(4);
    if (entry.dedicated >= 0.0) {
        out << std::setw(16) << entry.dedicated - children_duration(entry);
    } else {
        out << std::setw(16) << "";
    }
    const double seconds = entry.dedicated >= 0.0 ? entry.dedicated : own;
    const double bandwidth = ratio(static_cast<double>(entry.workload), seconds);
    out << std::setw(17) << static_cast<double>(entry.workload) * 1e-9;
    out << std::setprecision(2) << std::setw(17) << bandwidth * 1e-9;
    if (entry.reference_bandwidth > 0.0) {
        out << " (" << std::setw(6) << bandwidth * 100.0 / entry.reference_bandwidth << "% of "
            << entry.reference_bandwidth * 1e-9 << ")";
    }
    out << "\n";
    for (const auto& child : entry.children) print_entry(out, *child, depth + 1, total);
}

}  // namespace

Stop_Watch_System::Stop_Watch_System() : frequency_(Clock::period::den / Clock::period::num) { start(); }

void Stop_Watch_System::start() { start_count_ = clock_count(); }

void Stop_Watch_System::stop() { stop_count_ = clock_count(); }

double Stop_Watch_System::elapsed_so_far() const {
    return static_cast<double>(clock_count() - start_count_) / static_cast<double>(frequency_);
}

double Stop_Watch_System::elapsed() const {
    return static_cast<double>(stop_count_ - start_count_) / static_cast<double>(frequency_);
}

Timing_Table::Scope_Timer::Scope_Timer(std::shared_ptr<Timing> entry, Timing_Table* table,
                                       std::unique_ptr<Stop_Watch> own_watch)
    : entry_(std::move(entry)), table_(table), own_watch_(std::move(own_watch)) {}

Timing_Table::Scope_Timer::~Scope_Timer() {
    {
        std::lock_guard lock(timing_mutex);
        if (own_watch_) entry_->dedicated = own_watch_->elapsed_so_far();
        entry_->end = table_->clock();
        table_->current_ = entry_->parent.lock();
    }
    own_watch_.reset();
}

void Timing_Table::Scope_Timer::set_workload(int64_t bytes) {
    std::lock_guard lock(timing_mutex);
    entry_->workload = bytes;
}

Timing_Table::Timing_Table() : Timing_Table(std::make_unique<Stop_Watch_System>()) {}

Timing_Table::Timing_Table(std::unique_ptr<Stop_Watch> table_watch) : watch_(std::move(table_watch)) { reset(); }

void Timing_Table::reset() {
    std::lock_guard lock(timing_mutex);
    watch_->start();
    root_ = std::make_shared<Timing>();
    root_->label = "root";
    root_->start = clock();
    current_ = root_;
}

std::shared_ptr<Timing_Table::Scope_Timer> Timing_Table::scope_timer(const std::string& label, int64_t bytes) {
    const bool measured = log_instance().is_active();
    auto entry = std::make_shared<Timing>();
    entry->label = measured ? label + " (Cpu)" : "(Void)";
    entry->workload = measured ? bytes : 0;
    std::unique_ptr<Stop_Watch> own_watch;
    if (!measured) own_watch = std::make_unique<Stop_Watch_Void>();
    {
        std::lock_guard lock(timing_mutex);
        entry->start = clock();
        entry->parent = current_;
        current_->children.push_back(entry);
        current_ = entry;
    }
    return std::make_shared<Scope_Timer>(std::move(entry), this, std::move(own_watch));
}

void Timing_Table::message(const std::string&) {}

// The root is never ended by a timer: the report ends it, so the shares are of the time so far.
std::string Timing_Table::report() {
    std::lock_guard lock(timing_mutex);
    root_->end = clock();
    const double total = root_->end;
    std::ostringstream out;
    out << std::fixed << "\n\n";
    print_columns_start(out, "");
    out << std::setw(27) << "duration (s)" << std::setw(16) << "dedicated (s)" << std::setw(17) << "workload (gb)"
        << std::setw(17) << "bandwidth (gb/s)" << "\n";
    for (const auto& child : root_->children) print_entry(out, *child, 0, total);
    out << std::string(152, '-') << "\n";
    const int64_t workload = total_workload(*root_);
    out << std::setprecision(4);
    print_columns_start(out, "");
    out << std::setw(17) << total << " (100.00%)" << std::setw(16) << "" << std::setw(17)
        << static_cast<double>(workload) * 1e-9 << std::setprecision(2) << std::setw(17)
        << ratio(static_cast<double>(workload), total) * 1e-9 << "\n";
    return out.str();
}

double Timing_Table::clock() const { return watch_->elapsed_so_far(); }

}  // namespace nb
