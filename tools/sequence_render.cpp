// Rendering image files: one file, or a sequence whose reading and writing overlap the rendering.
#include "tools/sequence_render.h"

#include <algorithm>
#include <filesystem>
#include <future>
#include <iomanip>
#include <memory>
#include <new>
#include <optional>
#include <sstream>
#include <tuple>
#include <utility>

#include "tools/frame_sequence.h"
#include "tools/interrupt_signals.h"
#include "tools/progress_bar.h"
#include "tools/render_job.h"
#include "tools/tool_error.h"

namespace nb::tools {

std::vector<Loaded_Image> read_frame(const Render_Options& options, const std::string& input, const std::string& output,
                                     int64_t memory_limit) {
    check_interrupt();
    // Compared as files, not as names: "./in.png", a link and "in.png" all name the same file.
    std::error_code error;
    if (!options.overwrite && std::filesystem::equivalent(input, output, error))
        throw Tool_Error("'" + output + "' is the input file itself (add --overwrite to replace it)");
    return read_image_parts(input, memory_limit);
}

std::vector<Image_Rgba> render_frame(Render_Job& job, const Render_Options& options, std::vector<Loaded_Image>& parts) {
    // The writer needs a part's header and other channels, no longer its colour, unless a held frame
    // renders it again.
    const bool keep_pixels = options.missing == Missing_Frame::hold;
    std::vector<Image_Rgba> rendered;
    for (Loaded_Image& part : parts) {
        check_interrupt();
        job.follow_encoding(part.linear);
        const int bits = options.depth != 0 ? options.depth : part.bits;
        rendered.push_back(job.render(keep_pixels ? Image_Rgba(part.image) : std::move(part.image), bits));
    }
    return rendered;
}

namespace {

// Where a frame's pixels come from.
struct Frame_Source {
    int64_t position = 0;  // 1 for the first frame of the list
    int64_t frame = 0;
    std::string input;  // empty: the frame is skipped
    int64_t held = 0;   // the frame whose input it shows; `frame` unless held
};

using Frame_Parts = std::shared_ptr<std::vector<Loaded_Image>>;

struct Written_Frame {
    std::vector<std::string> warnings;
    double finished = 0.0;  // Progress_Bar::steady_seconds
};

std::string seconds_text(double seconds) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(2) << seconds << " s";
    return text.str();
}

// The bar of a run: frames rendered and, while the effect renders, the fraction of the next one done, measured
// by the effect's abort queries (one a row its main thread finishes) against those of the frame before.
// The first frame of a run has nothing to measure against: the bar counts its time only.
class Run_Progress {
public:
    Run_Progress(Render_Job& job, std::ostream& err, bool enabled, int64_t frames)
        : job_(job), enabled_(enabled),
          bar_(err, enabled, frames, Progress_Bar::steady_seconds, enabled ? Progress_Bar::terminal_columns(stderr) : 80) {
        job_.session().host().observe_abort_queries([this](int64_t queries) { follow(queries); });
    }
    // Erases what is left of the bar, so a failure's line starts a line of its own.
    ~Run_Progress() {
        job_.session().host().observe_abort_queries(nullptr);
        bar_.clear();
    }
    Run_Progress(const Run_Progress&) = delete;
    Run_Progress& operator=(const Run_Progress&) = delete;

    std::vector<Image_Rgba> render(const Render_Options& options, std::vector<Loaded_Image>& parts) {
        queries_before_ = job_.session().host().abort_calls();
        drawn_fraction_ = 0.0;
        std::vector<Image_Rgba> rendered = render_frame(job_, options, parts);
        frame_queries_ = job_.session().host().abort_calls() - queries_before_;
        return rendered;
    }
    void update(int64_t done) { bar_.update(done_ = done); }
    void clear() { bar_.clear(); }
    void finish() { bar_.finish(); }

private:
    // Redrawn for every hundredth of the frame, and otherwise ten times a second so that the time
    // moves on while nothing can be measured.
    void follow(int64_t queries) {
        if (!enabled_) return;
        const double now = Progress_Bar::steady_seconds();
        const double fraction = frame_queries_ > 0 ? static_cast<double>(queries - queries_before_) / static_cast<double>(frame_queries_) : 0.0;
        if (fraction < drawn_fraction_ + 0.01 && now - drawn_ < 0.1) return;
        drawn_ = now;
        drawn_fraction_ = fraction;
        bar_.update(done_, std::min(fraction, 0.99));
    }

    Render_Job& job_;
    bool enabled_;
    Progress_Bar bar_;
    int64_t done_ = 0;
    int64_t frame_queries_ = 0;   // abort queries of the last frame rendered; 0 before the first
    int64_t queries_before_ = 0;  // the host's count when the frame in progress began
    double drawn_ = Progress_Bar::steady_seconds();
    double drawn_fraction_ = 0.0;
};

class Sequence {
public:
    Sequence(Render_Job& job, const Render_Options& options, std::ostream& err, bool progress)
        : options_(options), err_(err), progress_(progress), input_(options.input), output_(options.output),
          memory_limit_(job.memory_limit()), bar_(job, err, progress, options.frames->count()),
          last_finished_(Progress_Bar::steady_seconds()) {
        if (!input_.is_sequence() || !output_.is_sequence())
            throw Tool_Error("--frames needs INPUT and OUTPUT patterns with a frame number, such as shot.####.exr");
    }

    int64_t run();

private:
    Frame_Source source(int64_t index);
    std::future<Frame_Parts> start_reading(const Frame_Source& source) const;
    std::vector<Image_Rgba> render(const Frame_Source& source, std::vector<Loaded_Image>& parts);
    void start_writing(const Frame_Source& source, Frame_Parts parts, std::vector<Image_Rgba> images);
    void finish_writing();
    void say(const std::string& line);

    const Render_Options& options_;
    std::ostream& err_;
    bool progress_;
    Frame_Pattern input_, output_;
    int64_t memory_limit_;
    Run_Progress bar_;
    std::optional<int64_t> last_existing_;  // the latest frame whose input file exists
    // The input of the latest frame read from its own file, for the frames that hold it: written in
    // place, its file may hold its render by then.
    Frame_Parts last_parts_;
    int64_t last_parts_frame_ = 0;
    std::future<Written_Frame> writing_;
    Frame_Source written_;  // the frame writing_ writes
    int64_t done_ = 0;      // frames rendered or skipped
    int64_t rendered_ = 0;
    double last_finished_;
};

[[noreturn]] void fail(int64_t frame, const std::exception& error) {
    const std::string text = dynamic_cast<const std::bad_alloc*>(&error) != nullptr ? "out of memory" : error.what();
    throw Tool_Error("frame " + std::to_string(frame) + ": " + text);
}

bool exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
}

Frame_Source Sequence::source(int64_t index) {
    const Frame_List& frames = *options_.frames;
    const int64_t frame = frames.at(index);
    const std::string path = input_.path_for(frame);
    const bool present = exists(path);
    if (present) last_existing_ = frame;
    if (present || options_.missing == Missing_Frame::error) return {index + 1, frame, path, frame};
    if (options_.missing == Missing_Frame::skip) return {index + 1, frame, "", frame};
    // Before the first existing frame, the first one holds, as a clip shows its first frame before it starts.
    std::optional<int64_t> held = last_existing_;
    for (int64_t later = index + 1; !held && later < frames.count(); ++later)
        if (exists(input_.path_for(frames.at(later)))) held = frames.at(later);
    return {index + 1, frame, held ? input_.path_for(*held) : path, held.value_or(frame)};
}

std::future<Frame_Parts> Sequence::start_reading(const Frame_Source& source) const {
    const bool kept = source.held != source.frame && last_parts_ && last_parts_frame_ == source.held;
    if (source.input.empty() || kept) return std::async(std::launch::deferred, [parts = kept ? last_parts_ : nullptr] { return parts; });
    return std::async(std::launch::async, [this, source] {
        return std::make_shared<std::vector<Loaded_Image>>(
            read_frame(options_, source.input, output_.path_for(source.frame), memory_limit_));
    });
}

std::vector<Image_Rgba> Sequence::render(const Frame_Source& source, std::vector<Loaded_Image>& parts) {
    std::vector<Image_Rgba> rendered;
    try {
        rendered = bar_.render(options_, parts);
    } catch (const std::exception& error) {
        finish_writing();
        fail(source.frame, error);
    }
    ++rendered_;
    bar_.update(++done_);
    return rendered;
}

void Sequence::start_writing(const Frame_Source& source, Frame_Parts parts, std::vector<Image_Rgba> images) {
    finish_writing();
    written_ = source;
    writing_ = std::async(std::launch::async, [path = output_.path_for(source.frame), parts = std::move(parts),
                                               images = std::move(images)] {
        return Written_Frame{write_image_parts(path, *parts, images), Progress_Bar::steady_seconds()};
    });
}

// The frame before is written before a later one is reported, failed or not.
void Sequence::finish_writing() {
    if (!writing_.valid()) return;
    Written_Frame written;
    try {
        written = writing_.get();
    } catch (const std::exception& error) {
        fail(written_.frame, error);
    }
    for (const std::string& warning : written.warnings) say("warning: " + warning);
    if (written_.held != written_.frame)
        say("frame " + std::to_string(written_.frame) + ": no file '" + input_.path_for(written_.frame) +
            "', holding frame " + std::to_string(written_.held));
    if (!progress_)
        err_ << "blurmond-render: frame " << written_.frame << " done in " << seconds_text(written.finished - last_finished_)
             << " (" << written_.position << "/" << options_.frames->count() << ")\n";
    last_finished_ = written.finished;
}

void Sequence::say(const std::string& line) {
    bar_.clear();
    err_ << "blurmond-render: " << line << "\n";
}

int64_t Sequence::run() {
    const int64_t count = options_.frames->count();
    bar_.update(0);
    Frame_Source next = source(0);
    std::future<Frame_Parts> reading = start_reading(next);
    for (int64_t index = 0; index < count; ++index) {
        const Frame_Source now = next;
        Frame_Parts parts;
        try {
            parts = reading.get();
        } catch (const std::exception& error) {
            finish_writing();
            fail(now.frame, error);
        }
        if (now.held == now.frame && parts) std::tie(last_parts_, last_parts_frame_) = std::pair(parts, now.frame);
        if (index + 1 < count) reading = start_reading(next = source(index + 1));
        if (now.input.empty()) {
            finish_writing();
            say("frame " + std::to_string(now.frame) + ": no file '" + input_.path_for(now.frame) + "', skipped");
            bar_.update(++done_);
            continue;
        }
        std::vector<Image_Rgba> rendered = render(now, *parts);
        start_writing(now, std::move(parts), std::move(rendered));
    }
    finish_writing();
    bar_.finish();
    return rendered_;
}

}  // namespace

void render_file(Render_Job& job, const Render_Options& options, std::ostream& err, bool progress) {
    std::vector<Loaded_Image> parts = read_frame(options, options.input, options.output, job.memory_limit());
    std::vector<Image_Rgba> rendered;
    {
        Run_Progress bar(job, err, progress, 1);
        bar.update(0);
        rendered = bar.render(options, parts);
    }
    for (const std::string& warning : write_image_parts(options.output, parts, rendered))
        err << "blurmond-render: warning: " << warning << "\n";
}

int64_t render_sequence(Render_Job& job, const Render_Options& options, std::ostream& err, bool progress) {
    Sequence sequence(job, options, err, progress);
    return sequence.run();
}

}  // namespace nb::tools
