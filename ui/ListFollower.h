// SPDX-License-Identifier: GPL-3.0-or-later
// Moves the rows whose files a run renamed onto the files' new names, once the run has ended.
#pragma once

namespace engine {
class Cryptor;
}

// A row keeps naming the path it had while its run lasts; only after the run has ended does it follow its
// file, keeping its outcome, so that a later Decrypt or Check on the same list finds the file.
class ListFollower {
public:
    // Called on the main thread while no run is in progress. Answers how many rows now name another path.
    static int followRenamedFiles(engine::Cryptor& cryptor);
};
