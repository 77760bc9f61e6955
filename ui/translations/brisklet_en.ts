<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About Brisklet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Encrypts files in place with a passphrase.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Licence: GPL-3.0-or-later. This program comes with no warranty; you may share and change it under the terms of the GNU General Public License, version 3 or any later version.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Brisklet %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Twofish-256 in CBC keyed by the JH-256 digest of the passphrase; no header, no salt.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Suggested passphrases use the EFF long word list, © 2016 Electronic Frontier Foundation, under the Creative Commons Attribution 3.0 licence (CC BY 3.0).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>BriskletAppDelegate</name>
    <message>
        <source>&amp;Add Files and Folders…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Encrypt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Decrypt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Check Passphrase</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Preferences…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show in &amp;Folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove &amp;Finished</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove A&amp;ll</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Completing %n file(s) that an interrupted run left unfinished…</source>
        <translation>
            <numerusform>Completing %n file that an interrupted run left unfinished…</numerusform>
            <numerusform>Completing %n files that an interrupted run left unfinished…</numerusform>
        </translation>
    </message>
    <message>
        <source>Stopping: files being rewritten are finished first…</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Stopped; %n file(s) left untouched.</source>
        <translation>
            <numerusform>Stopped; %n file was left untouched.</numerusform>
            <numerusform>Stopped; %n files were left untouched.</numerusform>
        </translation>
    </message>
    <message>
        <source>Brisklet</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Recovered %n file(s) that an interrupted run left unfinished.</source>
        <translation>
            <numerusform>Recovered %n file that an interrupted run left unfinished.</numerusform>
            <numerusform>Recovered %n files that an interrupted run left unfinished.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Recovered %n file(s).</source>
        <translation>
            <numerusform>Recovered %n file.</numerusform>
            <numerusform>Recovered %n files.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n could not be recovered: see their rows.</source>
        <translation>
            <numerusform>%n could not be recovered: see its row.</numerusform>
            <numerusform>%n could not be recovered: see their rows.</numerusform>
        </translation>
    </message>
    <message>
        <source>The check could not be started.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Check stopped; %n file(s) not checked.</source>
        <translation>
            <numerusform>Check stopped; %n file was not checked.</numerusform>
            <numerusform>Check stopped; %n files were not checked.</numerusform>
        </translation>
    </message>
    <message>
        <source>Wait until the files being processed are done, or stop the run.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add files first: drop them on the list or choose Add Files and Folders….</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type the passphrase to encrypt, decrypt or check the listed files.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tell for each listed file whether the passphrase opens it, changing nothing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Encrypt every listed file with the passphrase</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Decrypt every listed file with the passphrase</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The list holds encrypted and plain files: Return does nothing; choose Encrypt or Decrypt.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No application could open the folder %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing was encrypted: every listed file is encrypted already.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type the passphrase, then press Return to encrypt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type the passphrase, then press Return to decrypt</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ConfirmationSheet</name>
    <message>
        <source>Confirm Passphrase</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Type the passphrase again to confirm it:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The passphrases do not match</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Encrypt %n file(s) in place. Without this passphrase they cannot be opened again.</source>
        <translation>
            <numerusform>Encrypt %n file in place. Without this passphrase it cannot be opened again.</numerusform>
            <numerusform>Encrypt %n files in place. Without this passphrase they cannot be opened again.</numerusform>
        </translation>
    </message>
    <message>
        <source>Encrypt Them &amp;Again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Before Encrypting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Skip Them</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%1 and %n more</source>
        <translation>
            <numerusform>%1 and %n more</numerusform>
            <numerusform>%1 and %n more</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Already encrypted (1 file): %1. Skip Them leaves it as it is; Encrypt Them Again encrypts it a second time, and it then needs two decryptions.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Already encrypted (%n files): %1. Skip Them leaves them as they are; Encrypt Them Again encrypts them a second time, and each then needs two decryptions.</source>
        <translation>
            <numerusform>Already encrypted (%n file): %1. Skip Them leaves it as it is; Encrypt Them Again encrypts it a second time, and it then needs two decryptions.</numerusform>
            <numerusform>Already encrypted (%n files): %1. Skip Them leaves them as they are; Encrypt Them Again encrypts them a second time, and each then needs two decryptions.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FileAndFolderDialog</name>
    <message>
        <source>Add Files and Folders</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileTableModel</name>
    <message>
        <source>not processed yet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Folder</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FileTableView</name>
    <message>
        <source>Drop files or folders here, or choose Add Files and Folders…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HelpMenu</name>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Keyboard Shortcuts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About Brisklet</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LaunchArguments</name>
    <message>
        <source>--encrypt and --decrypt cannot be given together</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Brisklet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type the passphrase</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Passphrase:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Colours of the passphrase: the same passphrase always shows the same colours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Passphrase colours</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Colour check of the passphrase: four bars</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;ncrypt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Decrypt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Check</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Add F&amp;iles and Folders…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Remove Finished</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove &amp;Selected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove &amp;All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Progress of the run</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>999 of 999 files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop the run: files not yet being rewritten stay as they are (Esc)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MySecureTextField</name>
    <message>
        <source>&amp;Paste</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select All</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PassphraseRefusal</name>
    <message>
        <source>The passphrase contains an invalid character (an unpaired UTF-16 surrogate).</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>The passphrase is too long: at most %n character(s) can be used.</source>
        <translation>
            <numerusform>The passphrase is too long: at most %n character can be used.</numerusform>
            <numerusform>The passphrase is too long: at most %n characters can be used.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PreferencesSheet</name>
    <message>
        <source>Preferences</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Ask for the passphrase twice before encrypting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Show each typed character for (seconds):</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QuitQuestion</name>
    <message>
        <source>Quit while files are being encrypted?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit while files are being decrypted?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit while files are being recovered?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Files not started yet stay untouched. Files being written are finished first, so that none is left half written; then Brisklet quits.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop and &amp;Quit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Keep Running</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Finishing…</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Finishing %1 and %n more…</source>
        <translation>
            <numerusform>Finishing %1 and %n more…</numerusform>
            <numerusform>Finishing %1 and %n more…</numerusform>
        </translation>
    </message>
    <message>
        <source>Finishing %1…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Finishing %1 and %2…</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RunProgress</name>
    <message numerus="yes">
        <source>%1 of %n file(s)</source>
        <translation>
            <numerusform>%1 of %n file</numerusform>
            <numerusform>%1 of %n files</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RunSummary</name>
    <message numerus="yes">
        <source>%n encrypted</source>
        <translation>
            <numerusform>%n encrypted</numerusform>
            <numerusform>%n encrypted</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n not renamed</source>
        <translation>
            <numerusform>%n not renamed</numerusform>
            <numerusform>%n not renamed</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n failed</source>
        <translation>
            <numerusform>%n failed</numerusform>
            <numerusform>%n failed</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n stopped</source>
        <translation>
            <numerusform>%n stopped</numerusform>
            <numerusform>%n stopped</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n decrypted</source>
        <translation>
            <numerusform>%n decrypted</numerusform>
            <numerusform>%n decrypted</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n open</source>
        <translation>
            <numerusform>%n open</numerusform>
            <numerusform>%n open</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n do not open</source>
        <translation>
            <numerusform>%n do not open</numerusform>
            <numerusform>%n do not open</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n not encrypted</source>
        <translation>
            <numerusform>%n not encrypted</numerusform>
            <numerusform>%n not encrypted</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n could not be read</source>
        <translation>
            <numerusform>%n could not be read</numerusform>
            <numerusform>%n could not be read</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n recovered</source>
        <translation>
            <numerusform>%n recovered</numerusform>
            <numerusform>%n recovered</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ShortcutsDialog</name>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> or </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Encrypt or Decrypt, as the list calls for (in the passphrase field)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Return</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Remove the selected files (in the list)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete or Backspace</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The list&apos;s menu: of the current file, or of the whole list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Menu</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move between the passphrase, the buttons and the list</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tab, Shift+Tab</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Command</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Keys</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StatusText</name>
    <message>
        <source>Same file as {detail}</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>{noun} completed after an interruption → {name}</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>{noun} completed after an interruption, but not renamed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Finished, but not yet safe on disk — will be completed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Written, but not yet safe on disk — will be completed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its journal was damaged; the file was never touched — unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Interrupted, and its journal is damaged: the file stays partly rewritten</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Interrupted; its journal needs another version of Brisklet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Changed since it was interrupted — nothing done, journal kept</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Moved or deleted since it was interrupted — nothing done</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Interrupted: the journal belongs to {detail}; run brisklet-cli recover as {detail}</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Changed by another program during the rewrite — journal kept</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Interrupted: will be completed at the next start or run</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open in another program — unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In use by another run — unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Changed while it was read — unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not an encrypted file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Does not open with this passphrase (or is not an encrypted file) — unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Symbolic link: add the file it points to</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not a regular file — unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Journal of an interrupted rewrite: recovery completes it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Has several names (hard links) — unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read-only — unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name too long to add “.brisklet” — unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Its folder is not writable — unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>{detail} already exists — unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>{verb}, but not renamed: {detail} already exists</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>{verb}, but not renamed: no extension to remove</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>{verb}, but not renamed: permission denied</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not write its working copy beside it — unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not read its working copy — unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not read the journal of its interrupted rewrite</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not write the file — unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not shorten the file — unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The cipher failed — unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The key could not be prepared — unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Permission denied — unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>On a read-only file system — unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No space left on the disk — unchanged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>{verb} → {name} (a journal was left beside it)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stopped, untouched</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Encrypted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Decrypted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Processed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Encryption</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Decryption</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rewrite</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Encrypting…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Decrypting…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recovering…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>{verb} → {name}</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>{verb}, but not renamed to {name}</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown status %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Opens</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot be read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stopped, not checked</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot be read: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waiting for the next run</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Queued</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %2%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>{verb} → {name} (opened with the passphrase&apos;s NFC form)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>{verb} → {name} (opened with the passphrase&apos;s NFD form)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Opens with the passphrase&apos;s NFC form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Opens with the passphrase&apos;s NFD form</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StrengthEstimate</name>
    <message>
        <source>less than a second</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>about 1 second</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>about %n seconds</source>
        <translation>
            <numerusform>about %n second</numerusform>
            <numerusform>about %n seconds</numerusform>
        </translation>
    </message>
    <message>
        <source>about 1 minute</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>about %n minutes</source>
        <translation>
            <numerusform>about %n minute</numerusform>
            <numerusform>about %n minutes</numerusform>
        </translation>
    </message>
    <message>
        <source>about 1 hour</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>about %n hours</source>
        <translation>
            <numerusform>about %n hour</numerusform>
            <numerusform>about %n hours</numerusform>
        </translation>
    </message>
    <message>
        <source>about 1 day</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>about %n days</source>
        <translation>
            <numerusform>about %n day</numerusform>
            <numerusform>about %n days</numerusform>
        </translation>
    </message>
    <message>
        <source>about 1 year</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>about %n years</source>
        <translation>
            <numerusform>about %n year</numerusform>
            <numerusform>about %n years</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>about %n thousand years</source>
        <translation>
            <numerusform>about %n thousand years</numerusform>
            <numerusform>about %n thousand years</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>about %n million years</source>
        <translation>
            <numerusform>about %n million years</numerusform>
            <numerusform>about %n million years</numerusform>
        </translation>
    </message>
    <message>
        <source>more than a billion years</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Weak passphrase: it could be guessed in %1. A longer one, such as six random words (Edit ▸ Suggest a Passphrase…), is far safer.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Estimated time to guess this passphrase: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This assumes an attacker who tries 10¹⁰ (ten billion) passphrases a second. Guessing is fast because the key is a single hash of the passphrase with no salt, so one key found opens every file encrypted with this passphrase.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SuggestionDialog</name>
    <message>
        <source>Suggest a Passphrase</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Six words drawn at random from a list of %1:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Strength: %1 bits exactly, even for an attacker who knows the list. At 10¹⁰ guesses a second that is %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write these words down on paper and keep them somewhere safe: without them, files encrypted with them cannot be opened again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Use These Words</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Other Words</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Suggest a Passphrase…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No random words could be drawn: the system gave no random numbers.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
