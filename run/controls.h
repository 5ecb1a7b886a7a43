#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "numbers/number_format.h"
#include "raster/drawing_box.h"
#include "solvers/method.h"
#include "view/box_geometry.h"

namespace heatplate {

// The text boxes the run and the angle handler read or write.
enum class TextBoxId {
    Text_Nx,
    Text_Ny,
    Text_Tw1,
    Text_Tw2,
    Text_Tw3,
    Text_Tw4,
    Text_Tfield,
    Text_MaxTime,
    Text_Alfa,
    Text_iTime,
    Text_dx,
    Text_dy,
    Text_RMS,
};

inline constexpr std::size_t kTextBoxCount = static_cast<std::size_t>(TextBoxId::Text_RMS) + 1;

// One option button per method, in the order of methods().
enum class OptionId { Option_Explicit, Option_ADI };

constexpr OptionId option_of(Method method) {
    return static_cast<OptionId>(method);
}

// What the host wants after a step has been shown.
enum class StepVerdict {
    Continue,
    StopAndSave,  // end the run as if this step had been the last
    Abandon,      // end the run at once, without writing the results file
};

// The window as the run sees it. The main window and the headless runner
// both play it, so that they share one run.
class Controls {
  public:
    virtual ~Controls() = default;

    virtual std::string text(TextBoxId box) const = 0;
    virtual void set_text(TextBoxId box, const std::string& text) = 0;
    virtual bool selected(OptionId option) const = 0;
    virtual int scroll_value() const = 0;  // HScroll_Alfa
    virtual DrawingBox& picture(PictureId box) = 0;
    // A message box with an OK button; returns once the user has closed it.
    virtual void message(const std::string& text) = 0;
    virtual void end_program() = 0;
    virtual NumberSeparators separators() const = 0;
    // Keeps the final field as results.txt holds it (the bytes of
    // kResultsFile); returns the message naming the file and the reason
    // when it cannot.
    virtual std::optional<std::string> save_results(const std::string& bytes) = 0;

    // Called after every completed step, once its outputs are set.
    virtual StepVerdict step_done(std::int64_t /*iTime*/) { return StepVerdict::Continue; }
    // Whether the 3-D view may be drawn only when it is looked at (see
    // Form1Core::refresh_view3d) instead of after every step.
    virtual bool defers_view3d() const { return false; }
    // Whether anybody looks at the pictures. A run for the numbers alone
    // sets the boxes up but draws nothing into them step by step.
    virtual bool shows_pictures() const { return true; }
};

}  // namespace heatplate
