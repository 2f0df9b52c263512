// The abstract plug-in: the operations every host binding calls on an effect, with their defaults.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/host_context.h"
#include "base/layer_extent.h"
#include "base/parameter.h"
#include "base/rect.h"
#include "util/layer.h"
#include "util/pixel/pixel.h"
#include "util/pixel/pixel_format.h"
#include "util/render_context.h"

namespace nb {

// The extra layers of one render, keyed by their layer parameter's key; a parameter that holds no
// layer may be missing or map to a record without data.
using Extra_Layers = std::map<std::string, Layer_Typeless>;

// One object lives for one host call and is used on the calling thread only.
class Plugin {
public:
    // How plug-in operations reach the frame's facts for one command. Every function throws the host's
    // exceptions; an empty function is a std::bad_function_call when called.
    struct Context {
        // The frame being rendered: size and origin at the current resolution, resolution factors.
        std::function<Layer_Description()> frame_description;
    };

    explicit Plugin(Host_Context host_context);
    virtual ~Plugin() = default;
    Plugin(const Plugin&) = delete;
    Plugin& operator=(const Plugin&) = delete;

    // Every parameter of the effect in declaration order; the plug-in owns them.
    virtual const std::vector<Parameter*>& parameters() const = 0;
    // Brings the controls' enabled state in line with the current values. Default: nothing.
    virtual void update_params_ui(const Context& context);
    // The user changed the parameter with the given key. Default: nothing.
    virtual void user_changed_param(const Context& context, const Render_Context& render_context,
                                    const std::string& key);
    // Renders one frame into output. The records carry no format of their own worth trusting: the
    // output format, found by the host binding, stands for all of them. Default: nothing.
    virtual void render(const Context& context, const Render_Context& render_context, const Layer_Typeless& input,
                        const Layer_Typeless& output, const Extra_Layers& extra_layers,
                        const Pixel_Format& output_format);
    // The rectangle the output can cover, from the extents of the layers.
    virtual Rect layer_extent(const Context& context, const Layer_Extents& extents) const = 0;
    // The rectangle to fetch from the named layer to render output.
    virtual Rect layer_extent_for_name(const Context& context, const std::string& layer_name, const Rect& output,
                                       const Layer_Extents& extents) const = 0;
    // True when frames change although no parameter does; consulted only under Premiere.
    virtual bool varies_without_param_change() const;

    const Host_Context& host_context() const { return host_context_; }

protected:
    // The stored extent of the named layer; throws Exception_Assert when there is none.
    static const Layer_Extent& extent_of(const Layer_Extents& extents, const std::string& layer_name);

private:
    Host_Context host_context_;
};

}  // namespace nb
