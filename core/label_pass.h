// The "Demangle Labels" command: rewrites every label of the host's current range into
// its undecorated form. Failures (no range, no label, a refused name) are skipped silently.
#pragma once

void DemangleLabels();
