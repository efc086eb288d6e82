// The About box, owned by the main dialog.
#pragma once

namespace about {

// Opens the About box, unless one is open already.
void ShowAboutBox();

}  // namespace about
