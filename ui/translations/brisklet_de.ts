<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About Brisklet</source>
        <translation>Über Brisklet</translation>
    </message>
    <message>
        <source>Encrypts files in place with a passphrase.</source>
        <translation>Verschlüsselt Dateien an Ort und Stelle mit einer Passphrase.</translation>
    </message>
    <message>
        <source>Licence: GPL-3.0-or-later. This program comes with no warranty; you may share and change it under the terms of the GNU General Public License, version 3 or any later version.</source>
        <translation>Lizenz: GPL-3.0-or-later. Dieses Programm kommt ohne jede Garantie; Sie dürfen es unter den Bedingungen der GNU General Public License, Version 3 oder einer späteren Version, weitergeben und verändern.</translation>
    </message>
    <message>
        <source>Brisklet %1</source>
        <translation>Brisklet %1</translation>
    </message>
    <message>
        <source>Twofish-256 in CBC keyed by the JH-256 digest of the passphrase; no header, no salt.</source>
        <translation>Twofish-256 im CBC-Modus, Schlüssel aus dem JH-256-Hash der Passphrase; kein Header, kein Salt.</translation>
    </message>
    <message>
        <source>Suggested passphrases use the EFF long word list, © 2016 Electronic Frontier Foundation, under the Creative Commons Attribution 3.0 licence (CC BY 3.0).</source>
        <translation>Vorgeschlagene Passphrasen verwenden die lange Wortliste der EFF, © 2016 Electronic Frontier Foundation, unter der Lizenz Creative Commons Namensnennung 3.0 (CC BY 3.0).</translation>
    </message>
</context>
<context>
    <name>BriskletAppDelegate</name>
    <message>
        <source>&amp;Add Files and Folders…</source>
        <translation>Dateien und Ordner &amp;hinzufügen…</translation>
    </message>
    <message>
        <source>&amp;Encrypt</source>
        <translation>&amp;Verschlüsseln</translation>
    </message>
    <message>
        <source>&amp;Decrypt</source>
        <translation>&amp;Entschlüsseln</translation>
    </message>
    <message>
        <source>&amp;Check Passphrase</source>
        <translation>Passphrase &amp;prüfen</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>Anhal&amp;ten</translation>
    </message>
    <message>
        <source>&amp;Preferences…</source>
        <translation>Ein&amp;stellungen…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>Ent&amp;fernen</translation>
    </message>
    <message>
        <source>Show in &amp;Folder</source>
        <translation>Im &amp;Ordner zeigen</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Remove &amp;Finished</source>
        <translation>Erledigte ent&amp;fernen</translation>
    </message>
    <message>
        <source>Remove A&amp;ll</source>
        <translation>A&amp;lle entfernen</translation>
    </message>
    <message numerus="yes">
        <source>Completing %n file(s) that an interrupted run left unfinished…</source>
        <translation>
            <numerusform>%n Datei, die ein unterbrochener Vorgang unfertig hinterließ, wird abgeschlossen…</numerusform>
            <numerusform>%n Dateien, die ein unterbrochener Vorgang unfertig hinterließ, werden abgeschlossen…</numerusform>
        </translation>
    </message>
    <message>
        <source>Stopping: files being rewritten are finished first…</source>
        <translation>Wird angehalten: Dateien, die gerade umgeschrieben werden, werden zuerst fertiggestellt…</translation>
    </message>
    <message numerus="yes">
        <source>Stopped; %n file(s) left untouched.</source>
        <translation>
            <numerusform>Angehalten; %n Datei blieb unberührt.</numerusform>
            <numerusform>Angehalten; %n Dateien blieben unberührt.</numerusform>
        </translation>
    </message>
    <message>
        <source>Brisklet</source>
        <translation>Brisklet</translation>
    </message>
    <message numerus="yes">
        <source>Recovered %n file(s) that an interrupted run left unfinished.</source>
        <translation>
            <numerusform>%n Datei wiederhergestellt, die ein unterbrochener Vorgang unfertig hinterließ.</numerusform>
            <numerusform>%n Dateien wiederhergestellt, die ein unterbrochener Vorgang unfertig hinterließ.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Recovered %n file(s).</source>
        <translation>
            <numerusform>%n Datei wiederhergestellt.</numerusform>
            <numerusform>%n Dateien wiederhergestellt.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n could not be recovered: see their rows.</source>
        <translation>
            <numerusform>%n konnte nicht wiederhergestellt werden: siehe ihre Zeile.</numerusform>
            <numerusform>%n konnten nicht wiederhergestellt werden: siehe ihre Zeilen.</numerusform>
        </translation>
    </message>
    <message>
        <source>The check could not be started.</source>
        <translation>Die Prüfung konnte nicht gestartet werden.</translation>
    </message>
    <message numerus="yes">
        <source>Check stopped; %n file(s) not checked.</source>
        <translation>
            <numerusform>Prüfung angehalten; %n Datei wurde nicht geprüft.</numerusform>
            <numerusform>Prüfung angehalten; %n Dateien wurden nicht geprüft.</numerusform>
        </translation>
    </message>
    <message>
        <source>Wait until the files being processed are done, or stop the run.</source>
        <translation>Warten Sie, bis die Dateien in Arbeit fertig sind, oder halten Sie den Vorgang an.</translation>
    </message>
    <message>
        <source>Add files first: drop them on the list or choose Add Files and Folders….</source>
        <translation>Fügen Sie zuerst Dateien hinzu: Ziehen Sie sie auf die Liste oder wählen Sie „Dateien und Ordner hinzufügen…“.</translation>
    </message>
    <message>
        <source>Type the passphrase to encrypt, decrypt or check the listed files.</source>
        <translation>Geben Sie die Passphrase ein, um die aufgelisteten Dateien zu verschlüsseln, zu entschlüsseln oder zu prüfen.</translation>
    </message>
    <message>
        <source>Tell for each listed file whether the passphrase opens it, changing nothing</source>
        <translation>Für jede aufgelistete Datei feststellen, ob die Passphrase sie öffnet, ohne etwas zu ändern</translation>
    </message>
    <message>
        <source>Encrypt every listed file with the passphrase</source>
        <translation>Alle aufgelisteten Dateien mit der Passphrase verschlüsseln</translation>
    </message>
    <message>
        <source>Decrypt every listed file with the passphrase</source>
        <translation>Alle aufgelisteten Dateien mit der Passphrase entschlüsseln</translation>
    </message>
    <message>
        <source>The list holds encrypted and plain files: Return does nothing; choose Encrypt or Decrypt.</source>
        <translation>Die Liste enthält verschlüsselte und unverschlüsselte Dateien: Die Eingabetaste bewirkt nichts; wählen Sie Verschlüsseln oder Entschlüsseln.</translation>
    </message>
    <message>
        <source>No application could open the folder %1</source>
        <translation>Keine Anwendung konnte den Ordner %1 öffnen</translation>
    </message>
    <message>
        <source>Nothing was encrypted: every listed file is encrypted already.</source>
        <translation>Nichts wurde verschlüsselt: Alle aufgeführten Dateien sind bereits verschlüsselt.</translation>
    </message>
    <message>
        <source>Type the passphrase, then press Return to encrypt</source>
        <translation>Geben Sie die Passphrase ein und drücken Sie dann die Eingabetaste, um zu verschlüsseln</translation>
    </message>
    <message>
        <source>Type the passphrase, then press Return to decrypt</source>
        <translation>Geben Sie die Passphrase ein und drücken Sie dann die Eingabetaste, um zu entschlüsseln</translation>
    </message>
</context>
<context>
    <name>ConfirmationSheet</name>
    <message>
        <source>Confirm Passphrase</source>
        <translation>Passphrase bestätigen</translation>
    </message>
    <message>
        <source>&amp;Type the passphrase again to confirm it:</source>
        <translation>Geben Sie die Passphrase zur Bestätigung &amp;erneut ein:</translation>
    </message>
    <message>
        <source>The passphrases do not match</source>
        <translation>Die Passphrasen stimmen nicht überein</translation>
    </message>
    <message numerus="yes">
        <source>Encrypt %n file(s) in place. Without this passphrase they cannot be opened again.</source>
        <translation>
            <numerusform>%n Datei an Ort und Stelle verschlüsseln. Ohne diese Passphrase lässt sie sich nicht wieder öffnen.</numerusform>
            <numerusform>%n Dateien an Ort und Stelle verschlüsseln. Ohne diese Passphrase lassen sie sich nicht wieder öffnen.</numerusform>
        </translation>
    </message>
    <message>
        <source>Encrypt Them &amp;Again</source>
        <translation>&amp;Erneut verschlüsseln</translation>
    </message>
    <message>
        <source>Before Encrypting</source>
        <translation>Vor dem Verschlüsseln</translation>
    </message>
    <message>
        <source>&amp;Skip Them</source>
        <translation>&amp;Überspringen</translation>
    </message>
    <message numerus="yes">
        <source>%1 and %n more</source>
        <translation>
            <numerusform>%1 und %n weitere</numerusform>
            <numerusform>%1 und %n weitere</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1 und %2</translation>
    </message>
    <message>
        <source>Already encrypted (1 file): %1. Skip Them leaves it as it is; Encrypt Them Again encrypts it a second time, and it then needs two decryptions.</source>
        <translation>Bereits verschlüsselt (1 Datei): %1. „Überspringen“ lässt sie, wie sie ist; „Erneut verschlüsseln“ verschlüsselt sie ein zweites Mal, und sie muss dann zweimal entschlüsselt werden.</translation>
    </message>
    <message numerus="yes">
        <source>Already encrypted (%n files): %1. Skip Them leaves them as they are; Encrypt Them Again encrypts them a second time, and each then needs two decryptions.</source>
        <translation>
            <numerusform>Bereits verschlüsselt (%n Datei): %1. „Überspringen“ lässt sie, wie sie ist; „Erneut verschlüsseln“ verschlüsselt sie ein zweites Mal, und sie muss dann zweimal entschlüsselt werden.</numerusform>
            <numerusform>Bereits verschlüsselt (%n Dateien): %1. „Überspringen“ lässt sie, wie sie sind; „Erneut verschlüsseln“ verschlüsselt sie ein zweites Mal, und jede muss dann zweimal entschlüsselt werden.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FileAndFolderDialog</name>
    <message>
        <source>Add Files and Folders</source>
        <translation>Dateien und Ordner hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
</context>
<context>
    <name>FileTableModel</name>
    <message>
        <source>not processed yet</source>
        <translation>noch nicht bearbeitet</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
</context>
<context>
    <name>FileTableView</name>
    <message>
        <source>Drop files or folders here, or choose Add Files and Folders…</source>
        <translation>Ziehen Sie Dateien oder Ordner hierher, oder wählen Sie „Dateien und Ordner hinzufügen…“</translation>
    </message>
</context>
<context>
    <name>HelpMenu</name>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Keyboard Shortcuts</source>
        <translation>&amp;Tastenkürzel</translation>
    </message>
    <message>
        <source>&amp;About Brisklet</source>
        <translation>Ü&amp;ber Brisklet</translation>
    </message>
</context>
<context>
    <name>LaunchArguments</name>
    <message>
        <source>--encrypt and --decrypt cannot be given together</source>
        <translation>--encrypt und --decrypt können nicht zusammen angegeben werden</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Brisklet</source>
        <translation>Brisklet</translation>
    </message>
    <message>
        <source>Type the passphrase</source>
        <translation>Passphrase eingeben</translation>
    </message>
    <message>
        <source>&amp;Passphrase:</source>
        <translation>Passphra&amp;se:</translation>
    </message>
    <message>
        <source>Colours of the passphrase: the same passphrase always shows the same colours</source>
        <translation>Farben der Passphrase: Dieselbe Passphrase zeigt immer dieselben Farben</translation>
    </message>
    <message>
        <source>Passphrase colours</source>
        <translation>Farben der Passphrase</translation>
    </message>
    <message>
        <source>Colour check of the passphrase: four bars</source>
        <translation>Farbprüfung der Passphrase: vier Balken</translation>
    </message>
    <message>
        <source>E&amp;ncrypt</source>
        <translation>&amp;Verschlüsseln</translation>
    </message>
    <message>
        <source>&amp;Decrypt</source>
        <translation>&amp;Entschlüsseln</translation>
    </message>
    <message>
        <source>&amp;Check</source>
        <translation>&amp;Prüfen</translation>
    </message>
    <message>
        <source>Add F&amp;iles and Folders…</source>
        <translation>Dateien und Ordner hin&amp;zufügen…</translation>
    </message>
    <message>
        <source>&amp;Remove Finished</source>
        <translation>Erledigte ent&amp;fernen</translation>
    </message>
    <message>
        <source>Remove &amp;Selected</source>
        <translation>&amp;Ausgewählte entfernen</translation>
    </message>
    <message>
        <source>Remove &amp;All</source>
        <translation>A&amp;lle entfernen</translation>
    </message>
    <message>
        <source>Progress of the run</source>
        <translation>Fortschritt des Vorgangs</translation>
    </message>
    <message>
        <source>999 of 999 files</source>
        <translation>999 von 999 Dateien</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>Anhal&amp;ten</translation>
    </message>
    <message>
        <source>Stop the run: files not yet being rewritten stay as they are (Esc)</source>
        <translation>Vorgang anhalten: Dateien, die noch nicht umgeschrieben werden, bleiben, wie sie sind (Esc)</translation>
    </message>
</context>
<context>
    <name>MySecureTextField</name>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alles auswählen</translation>
    </message>
</context>
<context>
    <name>PassphraseRefusal</name>
    <message>
        <source>The passphrase contains an invalid character (an unpaired UTF-16 surrogate).</source>
        <translation>Die Passphrase enthält ein ungültiges Zeichen (ein einzelnes UTF-16-Surrogat).</translation>
    </message>
    <message numerus="yes">
        <source>The passphrase is too long: at most %n character(s) can be used.</source>
        <translation>
            <numerusform>Die Passphrase ist zu lang: Höchstens %n Zeichen können verwendet werden.</numerusform>
            <numerusform>Die Passphrase ist zu lang: Höchstens %n Zeichen können verwendet werden.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PreferencesSheet</name>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>&amp;Ask for the passphrase twice before encrypting</source>
        <translation>Vor dem Verschlüsseln die Passphrase &amp;zweimal abfragen</translation>
    </message>
    <message>
        <source>&amp;Show each typed character for (seconds):</source>
        <translation>Jedes getippte Zeichen &amp;anzeigen für (Sekunden):</translation>
    </message>
</context>
<context>
    <name>QuitQuestion</name>
    <message>
        <source>Quit while files are being encrypted?</source>
        <translation>Beenden, während Dateien verschlüsselt werden?</translation>
    </message>
    <message>
        <source>Quit while files are being decrypted?</source>
        <translation>Beenden, während Dateien entschlüsselt werden?</translation>
    </message>
    <message>
        <source>Quit while files are being recovered?</source>
        <translation>Beenden, während Dateien wiederhergestellt werden?</translation>
    </message>
    <message>
        <source>Files not started yet stay untouched. Files being written are finished first, so that none is left half written; then Brisklet quits.</source>
        <translation>Noch nicht begonnene Dateien bleiben unberührt. Dateien, die gerade geschrieben werden, werden zuerst fertiggestellt, damit keine halb geschrieben zurückbleibt; dann wird Brisklet beendet.</translation>
    </message>
    <message>
        <source>Stop and &amp;Quit</source>
        <translation>Anhalten und &amp;beenden</translation>
    </message>
    <message>
        <source>&amp;Keep Running</source>
        <translation>&amp;Weiterlaufen lassen</translation>
    </message>
    <message>
        <source>Finishing…</source>
        <translation>Wird fertiggestellt…</translation>
    </message>
    <message numerus="yes">
        <source>Finishing %1 and %n more…</source>
        <translation>
            <numerusform>%1 und %n weitere werden fertiggestellt…</numerusform>
            <numerusform>%1 und %n weitere werden fertiggestellt…</numerusform>
        </translation>
    </message>
    <message>
        <source>Finishing %1…</source>
        <translation>%1 wird fertiggestellt…</translation>
    </message>
    <message>
        <source>Finishing %1 and %2…</source>
        <translation>%1 und %2 werden fertiggestellt…</translation>
    </message>
</context>
<context>
    <name>RunProgress</name>
    <message numerus="yes">
        <source>%1 of %n file(s)</source>
        <translation>
            <numerusform>%1 von %n Datei</numerusform>
            <numerusform>%1 von %n Dateien</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RunSummary</name>
    <message numerus="yes">
        <source>%n encrypted</source>
        <translation>
            <numerusform>%n verschlüsselt</numerusform>
            <numerusform>%n verschlüsselt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n not renamed</source>
        <translation>
            <numerusform>%n nicht umbenannt</numerusform>
            <numerusform>%n nicht umbenannt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n failed</source>
        <translation>
            <numerusform>%n fehlgeschlagen</numerusform>
            <numerusform>%n fehlgeschlagen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n stopped</source>
        <translation>
            <numerusform>%n angehalten</numerusform>
            <numerusform>%n angehalten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n decrypted</source>
        <translation>
            <numerusform>%n entschlüsselt</numerusform>
            <numerusform>%n entschlüsselt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n open</source>
        <translation>
            <numerusform>%n lässt sich öffnen</numerusform>
            <numerusform>%n lassen sich öffnen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n do not open</source>
        <translation>
            <numerusform>%n lässt sich nicht öffnen</numerusform>
            <numerusform>%n lassen sich nicht öffnen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n not encrypted</source>
        <translation>
            <numerusform>%n nicht verschlüsselt</numerusform>
            <numerusform>%n nicht verschlüsselt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n could not be read</source>
        <translation>
            <numerusform>%n nicht lesbar</numerusform>
            <numerusform>%n nicht lesbar</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n recovered</source>
        <translation>
            <numerusform>%n wiederhergestellt</numerusform>
            <numerusform>%n wiederhergestellt</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ShortcutsDialog</name>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <source> or </source>
        <translation> oder </translation>
    </message>
    <message>
        <source>Encrypt or Decrypt, as the list calls for (in the passphrase field)</source>
        <translation>Verschlüsseln oder Entschlüsseln, je nach Liste (im Passphrase-Feld)</translation>
    </message>
    <message>
        <source>Return</source>
        <translation>Eingabetaste</translation>
    </message>
    <message>
        <source>Remove the selected files (in the list)</source>
        <translation>Die ausgewählten Dateien entfernen (in der Liste)</translation>
    </message>
    <message>
        <source>Delete or Backspace</source>
        <translation>Entf oder Rücktaste</translation>
    </message>
    <message>
        <source>The list&apos;s menu: of the current file, or of the whole list</source>
        <translation>Das Menü der Liste: für die aktuelle Datei oder die ganze Liste</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>Menütaste</translation>
    </message>
    <message>
        <source>Move between the passphrase, the buttons and the list</source>
        <translation>Zwischen Passphrase, Schaltflächen und Liste wechseln</translation>
    </message>
    <message>
        <source>Tab, Shift+Tab</source>
        <translation>Tab, Umschalt+Tab</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Befehl</translation>
    </message>
    <message>
        <source>Keys</source>
        <translation>Tasten</translation>
    </message>
</context>
<context>
    <name>StatusText</name>
    <message>
        <source>Same file as {detail}</source>
        <translation>Dieselbe Datei wie {detail}</translation>
    </message>
    <message>
        <source>{noun} completed after an interruption → {name}</source>
        <translation>{noun} nach einer Unterbrechung abgeschlossen → {name}</translation>
    </message>
    <message>
        <source>{noun} completed after an interruption, but not renamed</source>
        <translation>{noun} nach einer Unterbrechung abgeschlossen, aber nicht umbenannt</translation>
    </message>
    <message>
        <source>Finished, but not yet safe on disk — will be completed</source>
        <translation>Fertig, aber noch nicht sicher auf dem Datenträger — wird abgeschlossen</translation>
    </message>
    <message>
        <source>Written, but not yet safe on disk — will be completed</source>
        <translation>Geschrieben, aber noch nicht sicher auf dem Datenträger — wird abgeschlossen</translation>
    </message>
    <message>
        <source>Its journal was damaged; the file was never touched — unchanged</source>
        <translation>Das Journal war beschädigt; die Datei wurde nie angetastet — unverändert</translation>
    </message>
    <message>
        <source>Interrupted, and its journal is damaged: the file stays partly rewritten</source>
        <translation>Unterbrochen, und das Journal ist beschädigt: Die Datei bleibt teilweise umgeschrieben</translation>
    </message>
    <message>
        <source>Interrupted; its journal needs another version of Brisklet</source>
        <translation>Unterbrochen; das Journal braucht eine andere Version von Brisklet</translation>
    </message>
    <message>
        <source>Changed since it was interrupted — nothing done, journal kept</source>
        <translation>Seit der Unterbrechung geändert — nichts getan, Journal behalten</translation>
    </message>
    <message>
        <source>Moved or deleted since it was interrupted — nothing done</source>
        <translation>Seit der Unterbrechung verschoben oder gelöscht — nichts getan</translation>
    </message>
    <message>
        <source>Interrupted: the journal belongs to {detail}; run brisklet-cli recover as {detail}</source>
        <translation>Unterbrochen: Das Journal gehört {detail}; führen Sie brisklet-cli recover als {detail} aus</translation>
    </message>
    <message>
        <source>Changed by another program during the rewrite — journal kept</source>
        <translation>Während des Umschreibens von einem anderen Programm geändert — Journal behalten</translation>
    </message>
    <message>
        <source>Interrupted: will be completed at the next start or run</source>
        <translation>Unterbrochen: wird beim nächsten Start oder Vorgang abgeschlossen</translation>
    </message>
    <message>
        <source>Open in another program — unchanged</source>
        <translation>In einem anderen Programm geöffnet — unverändert</translation>
    </message>
    <message>
        <source>In use by another run — unchanged</source>
        <translation>Von einem anderen Vorgang belegt — unverändert</translation>
    </message>
    <message>
        <source>Changed while it was read — unchanged</source>
        <translation>Beim Lesen geändert — unverändert</translation>
    </message>
    <message>
        <source>Not an encrypted file</source>
        <translation>Keine verschlüsselte Datei</translation>
    </message>
    <message>
        <source>Does not open with this passphrase (or is not an encrypted file) — unchanged</source>
        <translation>Lässt sich mit dieser Passphrase nicht öffnen (oder ist keine verschlüsselte Datei) — unverändert</translation>
    </message>
    <message>
        <source>Symbolic link: add the file it points to</source>
        <translation>Symbolische Verknüpfung: Fügen Sie die Datei hinzu, auf die sie zeigt</translation>
    </message>
    <message>
        <source>Not a regular file — unchanged</source>
        <translation>Keine reguläre Datei — unverändert</translation>
    </message>
    <message>
        <source>Journal of an interrupted rewrite: recovery completes it</source>
        <translation>Journal eines unterbrochenen Umschreibens: Die Wiederherstellung schließt es ab</translation>
    </message>
    <message>
        <source>Has several names (hard links) — unchanged</source>
        <translation>Hat mehrere Namen (harte Links) — unverändert</translation>
    </message>
    <message>
        <source>Read-only — unchanged</source>
        <translation>Schreibgeschützt — unverändert</translation>
    </message>
    <message>
        <source>Name too long to add “.brisklet” — unchanged</source>
        <translation>Name zu lang, um „.brisklet“ anzuhängen — unverändert</translation>
    </message>
    <message>
        <source>Its folder is not writable — unchanged</source>
        <translation>Der Ordner ist nicht beschreibbar — unverändert</translation>
    </message>
    <message>
        <source>{detail} already exists — unchanged</source>
        <translation>{detail} existiert bereits — unverändert</translation>
    </message>
    <message>
        <source>{verb}, but not renamed: {detail} already exists</source>
        <translation>{verb}, aber nicht umbenannt: {detail} existiert bereits</translation>
    </message>
    <message>
        <source>{verb}, but not renamed: no extension to remove</source>
        <translation>{verb}, aber nicht umbenannt: keine Endung zum Entfernen</translation>
    </message>
    <message>
        <source>{verb}, but not renamed: permission denied</source>
        <translation>{verb}, aber nicht umbenannt: Zugriff verweigert</translation>
    </message>
    <message>
        <source>Could not write its working copy beside it — unchanged</source>
        <translation>Die Arbeitskopie daneben konnte nicht geschrieben werden — unverändert</translation>
    </message>
    <message>
        <source>Could not read its working copy — unchanged</source>
        <translation>Die Arbeitskopie konnte nicht gelesen werden — unverändert</translation>
    </message>
    <message>
        <source>Could not read the journal of its interrupted rewrite</source>
        <translation>Das Journal des unterbrochenen Umschreibens konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>Could not write the file — unchanged</source>
        <translation>Die Datei konnte nicht geschrieben werden — unverändert</translation>
    </message>
    <message>
        <source>Could not shorten the file — unchanged</source>
        <translation>Die Datei konnte nicht gekürzt werden — unverändert</translation>
    </message>
    <message>
        <source>The cipher failed — unchanged</source>
        <translation>Die Verschlüsselungsfunktion hat versagt — unverändert</translation>
    </message>
    <message>
        <source>The key could not be prepared — unchanged</source>
        <translation>Der Schlüssel konnte nicht vorbereitet werden — unverändert</translation>
    </message>
    <message>
        <source>Not found</source>
        <translation>Nicht gefunden</translation>
    </message>
    <message>
        <source>Permission denied — unchanged</source>
        <translation>Zugriff verweigert — unverändert</translation>
    </message>
    <message>
        <source>On a read-only file system — unchanged</source>
        <translation>Auf einem schreibgeschützten Dateisystem — unverändert</translation>
    </message>
    <message>
        <source>No space left on the disk — unchanged</source>
        <translation>Kein Platz mehr auf dem Datenträger — unverändert</translation>
    </message>
    <message>
        <source>{verb} → {name} (a journal was left beside it)</source>
        <translation>{verb} → {name} (ein Journal ist daneben verblieben)</translation>
    </message>
    <message>
        <source>Stopped, untouched</source>
        <translation>Angehalten, unberührt</translation>
    </message>
    <message>
        <source>Encrypted</source>
        <translation>Verschlüsselt</translation>
    </message>
    <message>
        <source>Decrypted</source>
        <translation>Entschlüsselt</translation>
    </message>
    <message>
        <source>Processed</source>
        <translation>Bearbeitet</translation>
    </message>
    <message>
        <source>Encryption</source>
        <translation>Verschlüsselung</translation>
    </message>
    <message>
        <source>Decryption</source>
        <translation>Entschlüsselung</translation>
    </message>
    <message>
        <source>Rewrite</source>
        <translation>Umschreibung</translation>
    </message>
    <message>
        <source>Encrypting…</source>
        <translation>Wird verschlüsselt…</translation>
    </message>
    <message>
        <source>Decrypting…</source>
        <translation>Wird entschlüsselt…</translation>
    </message>
    <message>
        <source>Checking…</source>
        <translation>Wird geprüft…</translation>
    </message>
    <message>
        <source>Recovering…</source>
        <translation>Wird wiederhergestellt…</translation>
    </message>
    <message>
        <source>{verb} → {name}</source>
        <translation>{verb} → {name}</translation>
    </message>
    <message>
        <source>{verb}, but not renamed to {name}</source>
        <translation>{verb}, aber nicht in {name} umbenannt</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Fehlgeschlagen</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Unknown status %1</source>
        <translation>Unbekannter Status %1</translation>
    </message>
    <message>
        <source>Opens</source>
        <translation>Lässt sich öffnen</translation>
    </message>
    <message>
        <source>Cannot be read</source>
        <translation>Nicht lesbar</translation>
    </message>
    <message>
        <source>Stopped, not checked</source>
        <translation>Angehalten, nicht geprüft</translation>
    </message>
    <message>
        <source>Cannot be read: %1</source>
        <translation>Nicht lesbar: %1</translation>
    </message>
    <message>
        <source>Waiting for the next run</source>
        <translation>Wartet auf den nächsten Vorgang</translation>
    </message>
    <message>
        <source>Queued</source>
        <translation>In der Warteschlange</translation>
    </message>
    <message>
        <source>%1 %2%</source>
        <translation>%1 %2 %</translation>
    </message>
    <message>
        <source>{verb} → {name} (opened with the passphrase&apos;s NFC form)</source>
        <translation>{verb} → {name} (mit der NFC-Form der Passphrase geöffnet)</translation>
    </message>
    <message>
        <source>{verb} → {name} (opened with the passphrase&apos;s NFD form)</source>
        <translation>{verb} → {name} (mit der NFD-Form der Passphrase geöffnet)</translation>
    </message>
    <message>
        <source>Opens with the passphrase&apos;s NFC form</source>
        <translation>Lässt sich mit der NFC-Form der Passphrase öffnen</translation>
    </message>
    <message>
        <source>Opens with the passphrase&apos;s NFD form</source>
        <translation>Lässt sich mit der NFD-Form der Passphrase öffnen</translation>
    </message>
</context>
<context>
    <name>StrengthEstimate</name>
    <message>
        <source>less than a second</source>
        <translation>weniger als eine Sekunde</translation>
    </message>
    <message>
        <source>about 1 second</source>
        <translation>etwa 1 Sekunde</translation>
    </message>
    <message numerus="yes">
        <source>about %n seconds</source>
        <translation>
            <numerusform>etwa %n Sekunde</numerusform>
            <numerusform>etwa %n Sekunden</numerusform>
        </translation>
    </message>
    <message>
        <source>about 1 minute</source>
        <translation>etwa 1 Minute</translation>
    </message>
    <message numerus="yes">
        <source>about %n minutes</source>
        <translation>
            <numerusform>etwa %n Minute</numerusform>
            <numerusform>etwa %n Minuten</numerusform>
        </translation>
    </message>
    <message>
        <source>about 1 hour</source>
        <translation>etwa 1 Stunde</translation>
    </message>
    <message numerus="yes">
        <source>about %n hours</source>
        <translation>
            <numerusform>etwa %n Stunde</numerusform>
            <numerusform>etwa %n Stunden</numerusform>
        </translation>
    </message>
    <message>
        <source>about 1 day</source>
        <translation>etwa 1 Tag</translation>
    </message>
    <message numerus="yes">
        <source>about %n days</source>
        <translation>
            <numerusform>etwa %n Tag</numerusform>
            <numerusform>etwa %n Tage</numerusform>
        </translation>
    </message>
    <message>
        <source>about 1 year</source>
        <translation>etwa 1 Jahr</translation>
    </message>
    <message numerus="yes">
        <source>about %n years</source>
        <translation>
            <numerusform>etwa %n Jahr</numerusform>
            <numerusform>etwa %n Jahre</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>about %n thousand years</source>
        <translation>
            <numerusform>etwa %n tausend Jahre</numerusform>
            <numerusform>etwa %n tausend Jahre</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>about %n million years</source>
        <translation>
            <numerusform>etwa %n Million Jahre</numerusform>
            <numerusform>etwa %n Millionen Jahre</numerusform>
        </translation>
    </message>
    <message>
        <source>more than a billion years</source>
        <translation>mehr als eine Milliarde Jahre</translation>
    </message>
    <message>
        <source>Weak passphrase: it could be guessed in %1. A longer one, such as six random words (Edit ▸ Suggest a Passphrase…), is far safer.</source>
        <translation>Schwache Passphrase: Sie zu erraten dauert nur %1. Eine längere, etwa sechs zufällige Wörter (Bearbeiten ▸ Passphrase vorschlagen…), ist weit sicherer.</translation>
    </message>
    <message>
        <source>Estimated time to guess this passphrase: %1.</source>
        <translation>Geschätzte Zeit, um diese Passphrase zu erraten: %1.</translation>
    </message>
    <message>
        <source>This assumes an attacker who tries 10¹⁰ (ten billion) passphrases a second. Guessing is fast because the key is a single hash of the passphrase with no salt, so one key found opens every file encrypted with this passphrase.</source>
        <translation>Angenommen wird ein Angreifer, der 10¹⁰ (zehn Milliarden) Passphrasen pro Sekunde ausprobiert. Das Raten geht schnell, weil der Schlüssel ein einziger Hash der Passphrase ohne Salt ist; ein gefundener Schlüssel öffnet daher jede mit dieser Passphrase verschlüsselte Datei.</translation>
    </message>
</context>
<context>
    <name>SuggestionDialog</name>
    <message>
        <source>Suggest a Passphrase</source>
        <translation>Passphrase vorschlagen</translation>
    </message>
    <message>
        <source>Six words drawn at random from a list of %1:</source>
        <translation>Sechs zufällig gezogene Wörter aus einer Liste von %1:</translation>
    </message>
    <message>
        <source>Strength: %1 bits exactly, even for an attacker who knows the list. At 10¹⁰ guesses a second that is %2.</source>
        <translation>Stärke: genau %1 Bit, auch gegen einen Angreifer, der die Liste kennt. Bei 10¹⁰ Versuchen pro Sekunde sind das %2.</translation>
    </message>
    <message>
        <source>Write these words down on paper and keep them somewhere safe: without them, files encrypted with them cannot be opened again.</source>
        <translation>Schreiben Sie diese Wörter auf Papier und bewahren Sie sie sicher auf: Ohne sie lassen sich damit verschlüsselte Dateien nie wieder öffnen.</translation>
    </message>
    <message>
        <source>&amp;Use These Words</source>
        <translation>Diese Wörter &amp;verwenden</translation>
    </message>
    <message>
        <source>&amp;Other Words</source>
        <translation>&amp;Andere Wörter</translation>
    </message>
    <message>
        <source>&amp;Suggest a Passphrase…</source>
        <translation>Passphrase &amp;vorschlagen…</translation>
    </message>
    <message>
        <source>No random words could be drawn: the system gave no random numbers.</source>
        <translation>Es konnten keine zufälligen Wörter gezogen werden: Das System lieferte keine Zufallszahlen.</translation>
    </message>
</context>
</TS>
