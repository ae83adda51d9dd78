#include "gwes/controls/standard_controls.h"

#include "gwes/windows/window_class.h"

namespace tovarin::gwes::controls {

void RegisterStandardControls(ClassTable& classes) {
    const struct {
        const wchar_t* name;
        WNDPROC proc;
    } standard[] = {
        {kButtonClass, ButtonProcedure()},   {kStaticClass, StaticProcedure()},
        {kEditClass, EditProcedure()},       {kComboBoxClass, ComboBoxProcedure()},
        {kListBoxClass, ListBoxProcedure()}, {kComboListClass, ListBoxProcedure()},
    };
    for (const auto& control : standard) {
        classes.Add({.name = control.name, .proc = control.proc, .built_in = true});
    }
}

}  // namespace tovarin::gwes::controls
