// Centring a form in the desktop work area or over another form, before it is shown.
#pragma once

#include "platform/ui/placement_view.h"

namespace tallyrun::basMisc {

// Centres the form in the work area, or on the whole screen when it does not fit there. A minimised or
// maximised form is left alone. Raises an Error (errc::Overflow) when the work area cannot be held in twips.
void CenterForm(Form& form, const Screen& screen);

// Centres the child over the parent, kept on the screen; without a parent that is a form, CenterForm. A child inside
// a multiple-document parent is centred in the parent's interior above its status bar; a parent without a status
// bar then raises, and the child is not moved.
void CenterChild(PlacementObject* parent, Form& child, const Screen& screen);

}  // namespace tallyrun::basMisc
