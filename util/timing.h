// Per-command timing table: a tree of named, timed entries with byte counts, printable as a report.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nb {

class Stop_Watch {
public:
    virtual ~Stop_Watch() = default;
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual double elapsed_so_far() const = 0;  // seconds from start to now
    virtual double elapsed() const = 0;         // seconds from start to stop
};

// A monotonic high-resolution clock; starts when constructed.
class Stop_Watch_System : public Stop_Watch {
public:
    Stop_Watch_System();
    void start() override;
    void stop() override;
    double elapsed_so_far() const override;
    double elapsed() const override;

private:
    int64_t start_count_ = 0;
    int64_t stop_count_ = 0;
    int64_t frequency_ = 1;
};

// Measures nothing: used while the log is inactive.
class Stop_Watch_Void : public Stop_Watch {
public:
    void start() override {}
    void stop() override {}
    double elapsed_so_far() const override { return 0.0; }
    double elapsed() const override { return 0.0; }
};

// One per host command. Timers may be opened from any thread; they end in reverse order of opening.
class Timing_Table : public std::enable_shared_from_this<Timing_Table> {
public:
    struct Timing {
        int64_t workload = 0;              // bytes moved
        double reference_bandwidth = 0.0;  // bytes per second; 0 when none
        double start = 0.0;                // table clock, seconds
        double end = 0.0;
        double dedicated = -1.0;  // seconds of the entry's own stop watch; -1 when it has none
        std::string label;
        std::weak_ptr<Timing> parent;  // weak: the parent owns its children
        std::vector<std::shared_ptr<Timing>> children;
    };

    // Handle of an open entry; releasing the last reference ends the entry. Must not outlive the table.
    class Scope_Timer {
    public:
        Scope_Timer(std::shared_ptr<Timing> entry, Timing_Table* table, std::unique_ptr<Stop_Watch> own_watch);
        ~Scope_Timer();
        Scope_Timer(const Scope_Timer&) = delete;
        Scope_Timer& operator=(const Scope_Timer&) = delete;
        void set_workload(int64_t bytes);

    private:
        std::shared_ptr<Timing> entry_;
        Timing_Table* table_;
        std::unique_ptr<Stop_Watch> own_watch_;
    };

    class Scope_Section {};

    Timing_Table();
    // With the table clock given, so reports can be checked against known times.
    explicit Timing_Table(std::unique_ptr<Stop_Watch> table_watch);
    // Empties the tree and restarts the table clock.
    void reset();  // not while timers are open
    // Labelled label + " (Cpu)" with the byte count while the log is active; otherwise "(Void)",
    // measuring nothing.
    std::shared_ptr<Scope_Timer> scope_timer(const std::string& label, int64_t bytes);
    void message(const std::string& text);  // discarded
    // Fixed-column table of own durations, shares, dedicated times, workloads and bandwidths.
    std::string report();
    std::shared_ptr<const Timing> root() const { return root_; }

private:
    friend class Scope_Timer;
    double clock() const;

    std::unique_ptr<Stop_Watch> watch_;
    std::shared_ptr<Timing> root_;
    std::shared_ptr<Timing> current_;
};

}  // namespace nb
