// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of --help and --version.
#include "cli/Usage.h"

namespace cli {

std::string_view usageText() {
    return R"(Usage: brisklet-cli [OPTIONS] COMMAND [PATH...]

Encrypts and decrypts files in place with a passphrase.

Commands:
  encrypt PATH...   encrypt each file and append ".brisklet" to its name
  decrypt PATH...   decrypt each file and remove its last extension; a wrong
                    passphrase leaves the file untouched
  check PATH...     tell for each file whether the passphrase opens it,
                    without changing anything
  guess FILE        find and print the passphrase that opens FILE among those
                    within two typing mistakes of the one given (a character
                    left out, added, replaced, or two neighbours swapped)
  colors            show the four colour bars of the passphrase (needs a
                    true-colour terminal)
  recover [PATH...] complete every rewrite that a crash, a kill or a failure
                    interrupted, from the journal that waits beside the file
                    (".brisklet-journal-..."), for the files and folders given
                    (folders with their subfolders), or without PATH, in every
                    folder noted in ~/.local/state/brisklet; encrypt and decrypt
                    first do the same for the files they are given
  recover --discard JOURNAL
                    remove one journal after printing what it held, giving up
                    the rewrite it would complete
A directory stands for the visible files in it and in its subdirectories;
encrypt passes over the files in it that already end in ".brisklet" ("already
encrypted; skipped"), decrypt over those that do not ("not a .brisklet file;
skipped"). A file named as a PATH is always processed.

A lone "-" as the only PATH reads standard input and writes standard output:
  encrypt -         write the encrypted form of standard input
  decrypt -         write the plain text of standard input; the passphrase is
                    only checked at the end of the input, so on a wrong one
                    what was written is not the plain text (exit status 1);
                    from a redirected file it is checked first
  check -           read standard input to its end and answer "-: OUTCOME"
Neither writes to a terminal, and encrypt - does not read from one. A file
named "-" is "./-".

Options:
  --passphrase-file FILE  read the passphrase from the first line of FILE
  --passphrase-fd N       read the passphrase from the first line of descriptor N
  --no-confirm            encrypt: ask for the passphrase on the terminal once
  --include-encrypted     encrypt: also the files in folders that end in
                          ".brisklet"
  --output-dir DIR        encrypt, decrypt: write the results as new files in
                          DIR (made if missing) and leave the files given as
                          they are; a folder given becomes DIR/ITS-NAME/...
  -h, --help              show this help and exit
  --version               show the version and exit
Without --passphrase-file or --passphrase-fd the passphrase is asked on the
terminal, twice for encrypt. The passphrase is never taken from the command line;
with "-" it cannot come from descriptor 0, which carries the data.

Output: one line per file on standard output, "PATH: OUTCOME". The engine's
own log lines and, on a terminal, a progress bar go to standard error.

SIGINT, SIGTERM and SIGHUP stop a run: files not yet being rewritten stay
untouched, rewrites under way finish first.

Exit status: 0 when every file was processed and renamed (check: when the
passphrase opens every file; guess: when one was found; recover: when every
pending rewrite was completed, or there was none), 1 when any was not (also
when one was stopped, or recovered instead of processed), 2 on a usage or
passphrase error (guess: also a file that is not encrypted), and 130, 143 or
129 after SIGINT, SIGTERM or SIGHUP. With "-", 1 also means a wrong passphrase,
an input that is not encrypted, or a failed read or write (a reader that went
away included), said on standard error.
)";
}

std::string versionLine() {
    return std::string("brisklet-cli ") + BRISKLET_VERSION;
}

} // namespace cli
