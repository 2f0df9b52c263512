// Kernel base classes, the fixed run sequence and the row launch over the host's threads.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "util/pixel/pixel.h"
#include "util/render_context.h"

namespace nb {

// A kernel is filled, run once through run() and discarded.
class Kernel {
public:
    virtual ~Kernel() = default;
    // Abort check, timing entry named name(), execute(), then the workload into the entry.
    // Throws whatever execute throws, Exception_Abort included.
    virtual void run(Render_Context context);
    virtual std::string name() const = 0;
    virtual int64_t workload() const = 0;  // bytes the run moves

protected:
    virtual void execute(Render_Context context) = 0;
};

template <class Access>
class Kernel_Implementation;

template <>
class Kernel_Implementation<Cpu_Pixel> : public Kernel {};

// Holds a row function with its own copies of the context and parameter record.
template <class F, class Context, class Parameters_In>
class Cpu_Kernel_Launch_Helper {
public:
    Cpu_Kernel_Launch_Helper(F f, Context context, Parameters_In parameters)
        : f_(std::move(f)), context_(std::move(context)), parameters_(std::move(parameters)) {}
    void operator()(const Iteration& iteration) const { f_(iteration, context_, parameters_); }

private:
    F f_;
    Context context_;
    Parameters_In parameters_;
};

// Runs row(iteration, context, parameters) for count work items, then checks for abort once more
// on the calling thread.
template <class F, class Parameters_In>
void launch(int64_t count, F row, const Render_Context& context, const Parameters_In& parameters) {
    Cpu_Kernel_Launch_Helper<F, Render_Context, Parameters_In> helper(std::move(row), context, parameters);
    context.iterate(count, std::function<void(const Iteration&)>(
                               [&helper](const Iteration& iteration) { helper(iteration); }));
    context.check_abort();
}

}  // namespace nb
