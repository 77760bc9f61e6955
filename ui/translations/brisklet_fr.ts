<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About Brisklet</source>
        <translation>À propos de Brisklet</translation>
    </message>
    <message>
        <source>Encrypts files in place with a passphrase.</source>
        <translation>Chiffre des fichiers sur place avec une phrase secrète.</translation>
    </message>
    <message>
        <source>Licence: GPL-3.0-or-later. This program comes with no warranty; you may share and change it under the terms of the GNU General Public License, version 3 or any later version.</source>
        <translation>Licence&#xa0;: GPL-3.0-or-later. Ce programme est fourni sans aucune garantie&#xa0;; vous pouvez le partager et le modifier selon les termes de la GNU General Public License, version 3 ou toute version ultérieure.</translation>
    </message>
    <message>
        <source>Brisklet %1</source>
        <translation>Brisklet %1</translation>
    </message>
    <message>
        <source>Twofish-256 in CBC keyed by the JH-256 digest of the passphrase; no header, no salt.</source>
        <translation>Twofish-256 en mode CBC, avec pour clé l’empreinte JH-256 de la phrase secrète&#xa0;; sans en-tête, sans sel.</translation>
    </message>
    <message>
        <source>Suggested passphrases use the EFF long word list, © 2016 Electronic Frontier Foundation, under the Creative Commons Attribution 3.0 licence (CC BY 3.0).</source>
        <translation>Les phrases secrètes suggérées utilisent la longue liste de mots de l’EFF, © 2016 Electronic Frontier Foundation, sous licence Creative Commons Attribution 3.0 (CC BY 3.0).</translation>
    </message>
</context>
<context>
    <name>BriskletAppDelegate</name>
    <message>
        <source>&amp;Add Files and Folders…</source>
        <translation>&amp;Ajouter des fichiers et dossiers…</translation>
    </message>
    <message>
        <source>&amp;Encrypt</source>
        <translation>&amp;Chiffrer</translation>
    </message>
    <message>
        <source>&amp;Decrypt</source>
        <translation>&amp;Déchiffrer</translation>
    </message>
    <message>
        <source>&amp;Check Passphrase</source>
        <translation>&amp;Vérifier la phrase secrète</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>Arrê&amp;ter</translation>
    </message>
    <message>
        <source>&amp;Preferences…</source>
        <translation>&amp;Préférences…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Retirer</translation>
    </message>
    <message>
        <source>Show in &amp;Folder</source>
        <translation>Afficher dans le &amp;dossier</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Édition</translation>
    </message>
    <message>
        <source>Remove &amp;Finished</source>
        <translation>Retirer les ter&amp;minés</translation>
    </message>
    <message>
        <source>Remove A&amp;ll</source>
        <translation>Tout reti&amp;rer</translation>
    </message>
    <message numerus="yes">
        <source>Completing %n file(s) that an interrupted run left unfinished…</source>
        <translation>
            <numerusform>Achèvement de %n fichier laissé inachevé par une opération interrompue…</numerusform>
            <numerusform>Achèvement de %n fichiers laissés inachevés par une opération interrompue…</numerusform>
        </translation>
    </message>
    <message>
        <source>Stopping: files being rewritten are finished first…</source>
        <translation>Arrêt en cours&#xa0;: les fichiers en cours de réécriture sont d’abord terminés…</translation>
    </message>
    <message numerus="yes">
        <source>Stopped; %n file(s) left untouched.</source>
        <translation>
            <numerusform>Arrêté&#xa0;; %n fichier est resté intact.</numerusform>
            <numerusform>Arrêté&#xa0;; %n fichiers sont restés intacts.</numerusform>
        </translation>
    </message>
    <message>
        <source>Brisklet</source>
        <translation>Brisklet</translation>
    </message>
    <message numerus="yes">
        <source>Recovered %n file(s) that an interrupted run left unfinished.</source>
        <translation>
            <numerusform>%n fichier laissé inachevé par une opération interrompue a été récupéré.</numerusform>
            <numerusform>%n fichiers laissés inachevés par une opération interrompue ont été récupérés.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Recovered %n file(s).</source>
        <translation>
            <numerusform>%n fichier récupéré.</numerusform>
            <numerusform>%n fichiers récupérés.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n could not be recovered: see their rows.</source>
        <translation>
            <numerusform>%n n’a pas pu être récupéré&#xa0;: voir sa ligne.</numerusform>
            <numerusform>%n n’ont pas pu être récupérés&#xa0;: voir leurs lignes.</numerusform>
        </translation>
    </message>
    <message>
        <source>The check could not be started.</source>
        <translation>La vérification n’a pas pu démarrer.</translation>
    </message>
    <message numerus="yes">
        <source>Check stopped; %n file(s) not checked.</source>
        <translation>
            <numerusform>Vérification arrêtée&#xa0;; %n fichier n’a pas été vérifié.</numerusform>
            <numerusform>Vérification arrêtée&#xa0;; %n fichiers n’ont pas été vérifiés.</numerusform>
        </translation>
    </message>
    <message>
        <source>Wait until the files being processed are done, or stop the run.</source>
        <translation>Attendez que les fichiers en cours soient traités, ou arrêtez l’opération.</translation>
    </message>
    <message>
        <source>Add files first: drop them on the list or choose Add Files and Folders….</source>
        <translation>Ajoutez d’abord des fichiers&#xa0;: déposez-les sur la liste ou choisissez «&#xa0;Ajouter des fichiers et dossiers…&#xa0;».</translation>
    </message>
    <message>
        <source>Type the passphrase to encrypt, decrypt or check the listed files.</source>
        <translation>Saisissez la phrase secrète pour chiffrer, déchiffrer ou vérifier les fichiers de la liste.</translation>
    </message>
    <message>
        <source>Tell for each listed file whether the passphrase opens it, changing nothing</source>
        <translation>Indiquer pour chaque fichier de la liste si la phrase secrète l’ouvre, sans rien modifier</translation>
    </message>
    <message>
        <source>Encrypt every listed file with the passphrase</source>
        <translation>Chiffrer tous les fichiers de la liste avec la phrase secrète</translation>
    </message>
    <message>
        <source>Decrypt every listed file with the passphrase</source>
        <translation>Déchiffrer tous les fichiers de la liste avec la phrase secrète</translation>
    </message>
    <message>
        <source>The list holds encrypted and plain files: Return does nothing; choose Encrypt or Decrypt.</source>
        <translation>La liste contient des fichiers chiffrés et des fichiers en clair&#xa0;: Entrée ne fait rien&#xa0;; choisissez Chiffrer ou Déchiffrer.</translation>
    </message>
    <message>
        <source>No application could open the folder %1</source>
        <translation>Aucune application n’a pu ouvrir le dossier %1</translation>
    </message>
    <message>
        <source>Nothing was encrypted: every listed file is encrypted already.</source>
        <translation>Rien n’a été chiffré : tous les fichiers de la liste sont déjà chiffrés.</translation>
    </message>
    <message>
        <source>Type the passphrase, then press Return to encrypt</source>
        <translation>Saisissez la phrase secrète, puis appuyez sur Entrée pour chiffrer</translation>
    </message>
    <message>
        <source>Type the passphrase, then press Return to decrypt</source>
        <translation>Saisissez la phrase secrète, puis appuyez sur Entrée pour déchiffrer</translation>
    </message>
</context>
<context>
    <name>ConfirmationSheet</name>
    <message>
        <source>Confirm Passphrase</source>
        <translation>Confirmer la phrase secrète</translation>
    </message>
    <message>
        <source>&amp;Type the passphrase again to confirm it:</source>
        <translation>&amp;Saisissez de nouveau la phrase secrète pour la confirmer&#xa0;:</translation>
    </message>
    <message>
        <source>The passphrases do not match</source>
        <translation>Les phrases secrètes ne correspondent pas</translation>
    </message>
    <message numerus="yes">
        <source>Encrypt %n file(s) in place. Without this passphrase they cannot be opened again.</source>
        <translation>
            <numerusform>Chiffrer %n fichier sur place. Sans cette phrase secrète, il ne pourra plus être ouvert.</numerusform>
            <numerusform>Chiffrer %n fichiers sur place. Sans cette phrase secrète, ils ne pourront plus être ouverts.</numerusform>
        </translation>
    </message>
    <message>
        <source>Encrypt Them &amp;Again</source>
        <translation>&amp;Les chiffrer à nouveau</translation>
    </message>
    <message>
        <source>Before Encrypting</source>
        <translation>Avant de chiffrer</translation>
    </message>
    <message>
        <source>&amp;Skip Them</source>
        <translation>&amp;Les ignorer</translation>
    </message>
    <message numerus="yes">
        <source>%1 and %n more</source>
        <translation>
            <numerusform>%1 et %n autre</numerusform>
            <numerusform>%1 et %n autres</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1 et %2</translation>
    </message>
    <message>
        <source>Already encrypted (1 file): %1. Skip Them leaves it as it is; Encrypt Them Again encrypts it a second time, and it then needs two decryptions.</source>
        <translation>Déjà chiffré (1 fichier) : %1. « Les ignorer » le laisse tel quel ; « Les chiffrer à nouveau » le chiffre une seconde fois, et il faudra alors le déchiffrer deux fois.</translation>
    </message>
    <message numerus="yes">
        <source>Already encrypted (%n files): %1. Skip Them leaves them as they are; Encrypt Them Again encrypts them a second time, and each then needs two decryptions.</source>
        <translation>
            <numerusform>Déjà chiffré (%n fichier) : %1. « Les ignorer » le laisse tel quel ; « Les chiffrer à nouveau » le chiffre une seconde fois, et il faudra alors le déchiffrer deux fois.</numerusform>
            <numerusform>Déjà chiffrés (%n fichiers) : %1. « Les ignorer » les laisse tels quels ; « Les chiffrer à nouveau » les chiffre une seconde fois, et chacun devra alors être déchiffré deux fois.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FileAndFolderDialog</name>
    <message>
        <source>Add Files and Folders</source>
        <translation>Ajouter des fichiers et dossiers</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Ajouter</translation>
    </message>
</context>
<context>
    <name>FileTableModel</name>
    <message>
        <source>not processed yet</source>
        <translation>pas encore traité</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1&#xa0;: %2</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>État</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Dossier</translation>
    </message>
</context>
<context>
    <name>FileTableView</name>
    <message>
        <source>Drop files or folders here, or choose Add Files and Folders…</source>
        <translation>Déposez des fichiers ou des dossiers ici, ou choisissez «&#xa0;Ajouter des fichiers et dossiers…&#xa0;»</translation>
    </message>
</context>
<context>
    <name>HelpMenu</name>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Aide</translation>
    </message>
    <message>
        <source>&amp;Keyboard Shortcuts</source>
        <translation>&amp;Raccourcis clavier</translation>
    </message>
    <message>
        <source>&amp;About Brisklet</source>
        <translation>À &amp;propos de Brisklet</translation>
    </message>
</context>
<context>
    <name>LaunchArguments</name>
    <message>
        <source>--encrypt and --decrypt cannot be given together</source>
        <translation>--encrypt et --decrypt ne peuvent pas être donnés ensemble</translation>
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
        <translation>Saisissez la phrase secrète</translation>
    </message>
    <message>
        <source>&amp;Passphrase:</source>
        <translation>&amp;Phrase secrète&#xa0;:</translation>
    </message>
    <message>
        <source>Colours of the passphrase: the same passphrase always shows the same colours</source>
        <translation>Couleurs de la phrase secrète&#xa0;: une même phrase secrète montre toujours les mêmes couleurs</translation>
    </message>
    <message>
        <source>Passphrase colours</source>
        <translation>Couleurs de la phrase secrète</translation>
    </message>
    <message>
        <source>Colour check of the passphrase: four bars</source>
        <translation>Contrôle par couleurs de la phrase secrète&#xa0;: quatre barres</translation>
    </message>
    <message>
        <source>E&amp;ncrypt</source>
        <translation>&amp;Chiffrer</translation>
    </message>
    <message>
        <source>&amp;Decrypt</source>
        <translation>&amp;Déchiffrer</translation>
    </message>
    <message>
        <source>&amp;Check</source>
        <translation>&amp;Vérifier</translation>
    </message>
    <message>
        <source>Add F&amp;iles and Folders…</source>
        <translation>Ajouter des f&amp;ichiers et dossiers…</translation>
    </message>
    <message>
        <source>&amp;Remove Finished</source>
        <translation>Retirer les ter&amp;minés</translation>
    </message>
    <message>
        <source>Remove &amp;Selected</source>
        <translation>Retirer la &amp;sélection</translation>
    </message>
    <message>
        <source>Remove &amp;All</source>
        <translation>Tout reti&amp;rer</translation>
    </message>
    <message>
        <source>Progress of the run</source>
        <translation>Avancement de l’opération</translation>
    </message>
    <message>
        <source>999 of 999 files</source>
        <translation>999 sur 999 fichiers</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>Arrê&amp;ter</translation>
    </message>
    <message>
        <source>Stop the run: files not yet being rewritten stay as they are (Esc)</source>
        <translation>Arrêter l’opération&#xa0;: les fichiers pas encore en cours de réécriture restent tels quels (Échap)</translation>
    </message>
</context>
<context>
    <name>MySecureTextField</name>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Coller</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Tout sélectionner</translation>
    </message>
</context>
<context>
    <name>PassphraseRefusal</name>
    <message>
        <source>The passphrase contains an invalid character (an unpaired UTF-16 surrogate).</source>
        <translation>La phrase secrète contient un caractère non valide (un demi-codet UTF-16 isolé).</translation>
    </message>
    <message numerus="yes">
        <source>The passphrase is too long: at most %n character(s) can be used.</source>
        <translation>
            <numerusform>La phrase secrète est trop longue&#xa0;: %n caractère au plus peut être utilisé.</numerusform>
            <numerusform>La phrase secrète est trop longue&#xa0;: %n caractères au plus peuvent être utilisés.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PreferencesSheet</name>
    <message>
        <source>Preferences</source>
        <translation>Préférences</translation>
    </message>
    <message>
        <source>&amp;Ask for the passphrase twice before encrypting</source>
        <translation>&amp;Demander la phrase secrète deux fois avant de chiffrer</translation>
    </message>
    <message>
        <source>&amp;Show each typed character for (seconds):</source>
        <translation>&amp;Afficher chaque caractère saisi pendant (secondes)&#xa0;:</translation>
    </message>
</context>
<context>
    <name>QuitQuestion</name>
    <message>
        <source>Quit while files are being encrypted?</source>
        <translation>Quitter pendant le chiffrement des fichiers&#xa0;?</translation>
    </message>
    <message>
        <source>Quit while files are being decrypted?</source>
        <translation>Quitter pendant le déchiffrement des fichiers&#xa0;?</translation>
    </message>
    <message>
        <source>Quit while files are being recovered?</source>
        <translation>Quitter pendant la récupération des fichiers&#xa0;?</translation>
    </message>
    <message>
        <source>Files not started yet stay untouched. Files being written are finished first, so that none is left half written; then Brisklet quits.</source>
        <translation>Les fichiers pas encore commencés restent intacts. Les fichiers en cours d’écriture sont d’abord terminés, afin qu’aucun ne reste à moitié écrit&#xa0;; ensuite Brisklet se ferme.</translation>
    </message>
    <message>
        <source>Stop and &amp;Quit</source>
        <translation>Arrêter et &amp;quitter</translation>
    </message>
    <message>
        <source>&amp;Keep Running</source>
        <translation>&amp;Continuer</translation>
    </message>
    <message>
        <source>Finishing…</source>
        <translation>Finalisation…</translation>
    </message>
    <message numerus="yes">
        <source>Finishing %1 and %n more…</source>
        <translation>
            <numerusform>Finalisation de %1 et de %n autre…</numerusform>
            <numerusform>Finalisation de %1 et de %n autres…</numerusform>
        </translation>
    </message>
    <message>
        <source>Finishing %1…</source>
        <translation>Finalisation de %1…</translation>
    </message>
    <message>
        <source>Finishing %1 and %2…</source>
        <translation>Finalisation de %1 et %2…</translation>
    </message>
</context>
<context>
    <name>RunProgress</name>
    <message numerus="yes">
        <source>%1 of %n file(s)</source>
        <translation>
            <numerusform>%1 sur %n fichier</numerusform>
            <numerusform>%1 sur %n fichiers</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RunSummary</name>
    <message numerus="yes">
        <source>%n encrypted</source>
        <translation>
            <numerusform>%n chiffré</numerusform>
            <numerusform>%n chiffrés</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n not renamed</source>
        <translation>
            <numerusform>%n non renommé</numerusform>
            <numerusform>%n non renommés</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n failed</source>
        <translation>
            <numerusform>%n en échec</numerusform>
            <numerusform>%n en échec</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n stopped</source>
        <translation>
            <numerusform>%n arrêté</numerusform>
            <numerusform>%n arrêtés</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n decrypted</source>
        <translation>
            <numerusform>%n déchiffré</numerusform>
            <numerusform>%n déchiffrés</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n open</source>
        <translation>
            <numerusform>%n s’ouvre</numerusform>
            <numerusform>%n s’ouvrent</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n do not open</source>
        <translation>
            <numerusform>%n ne s’ouvre pas</numerusform>
            <numerusform>%n ne s’ouvrent pas</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n not encrypted</source>
        <translation>
            <numerusform>%n non chiffré</numerusform>
            <numerusform>%n non chiffrés</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n could not be read</source>
        <translation>
            <numerusform>%n illisible</numerusform>
            <numerusform>%n illisibles</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n recovered</source>
        <translation>
            <numerusform>%n récupéré</numerusform>
            <numerusform>%n récupérés</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ShortcutsDialog</name>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation>Raccourcis clavier</translation>
    </message>
    <message>
        <source> or </source>
        <translation> ou </translation>
    </message>
    <message>
        <source>Encrypt or Decrypt, as the list calls for (in the passphrase field)</source>
        <translation>Chiffrer ou Déchiffrer, selon la liste (dans le champ de la phrase secrète)</translation>
    </message>
    <message>
        <source>Return</source>
        <translation>Entrée</translation>
    </message>
    <message>
        <source>Remove the selected files (in the list)</source>
        <translation>Retirer les fichiers sélectionnés (dans la liste)</translation>
    </message>
    <message>
        <source>Delete or Backspace</source>
        <translation>Suppr ou Retour arrière</translation>
    </message>
    <message>
        <source>The list&apos;s menu: of the current file, or of the whole list</source>
        <translation>Le menu de la liste&#xa0;: du fichier courant, ou de toute la liste</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>Menu</translation>
    </message>
    <message>
        <source>Move between the passphrase, the buttons and the list</source>
        <translation>Passer de la phrase secrète aux boutons et à la liste</translation>
    </message>
    <message>
        <source>Tab, Shift+Tab</source>
        <translation>Tab, Maj+Tab</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Commande</translation>
    </message>
    <message>
        <source>Keys</source>
        <translation>Touches</translation>
    </message>
</context>
<context>
    <name>StatusText</name>
    <message>
        <source>Same file as {detail}</source>
        <translation>Même fichier que {detail}</translation>
    </message>
    <message>
        <source>{noun} completed after an interruption → {name}</source>
        <translation>{noun} achevé après une interruption → {name}</translation>
    </message>
    <message>
        <source>{noun} completed after an interruption, but not renamed</source>
        <translation>{noun} achevé après une interruption, mais pas renommé</translation>
    </message>
    <message>
        <source>Finished, but not yet safe on disk — will be completed</source>
        <translation>Terminé, mais pas encore en sûreté sur le disque — sera achevé</translation>
    </message>
    <message>
        <source>Written, but not yet safe on disk — will be completed</source>
        <translation>Écrit, mais pas encore en sûreté sur le disque — sera achevé</translation>
    </message>
    <message>
        <source>Its journal was damaged; the file was never touched — unchanged</source>
        <translation>Son journal était endommagé&#xa0;; le fichier n’a jamais été touché — inchangé</translation>
    </message>
    <message>
        <source>Interrupted, and its journal is damaged: the file stays partly rewritten</source>
        <translation>Interrompu, et son journal est endommagé&#xa0;: le fichier reste en partie réécrit</translation>
    </message>
    <message>
        <source>Interrupted; its journal needs another version of Brisklet</source>
        <translation>Interrompu&#xa0;; son journal demande une autre version de Brisklet</translation>
    </message>
    <message>
        <source>Changed since it was interrupted — nothing done, journal kept</source>
        <translation>Modifié depuis l’interruption — rien n’a été fait, journal conservé</translation>
    </message>
    <message>
        <source>Moved or deleted since it was interrupted — nothing done</source>
        <translation>Déplacé ou supprimé depuis l’interruption — rien n’a été fait</translation>
    </message>
    <message>
        <source>Interrupted: the journal belongs to {detail}; run brisklet-cli recover as {detail}</source>
        <translation>Interrompu&#xa0;: le journal appartient à {detail}&#xa0;; lancez brisklet-cli recover en tant que {detail}</translation>
    </message>
    <message>
        <source>Changed by another program during the rewrite — journal kept</source>
        <translation>Modifié par un autre programme pendant la réécriture — journal conservé</translation>
    </message>
    <message>
        <source>Interrupted: will be completed at the next start or run</source>
        <translation>Interrompu&#xa0;: sera achevé au prochain démarrage ou à la prochaine opération</translation>
    </message>
    <message>
        <source>Open in another program — unchanged</source>
        <translation>Ouvert dans un autre programme — inchangé</translation>
    </message>
    <message>
        <source>In use by another run — unchanged</source>
        <translation>Utilisé par une autre opération — inchangé</translation>
    </message>
    <message>
        <source>Changed while it was read — unchanged</source>
        <translation>Modifié pendant sa lecture — inchangé</translation>
    </message>
    <message>
        <source>Not an encrypted file</source>
        <translation>Pas un fichier chiffré</translation>
    </message>
    <message>
        <source>Does not open with this passphrase (or is not an encrypted file) — unchanged</source>
        <translation>Ne s’ouvre pas avec cette phrase secrète (ou n’est pas un fichier chiffré) — inchangé</translation>
    </message>
    <message>
        <source>Symbolic link: add the file it points to</source>
        <translation>Lien symbolique&#xa0;: ajoutez le fichier vers lequel il pointe</translation>
    </message>
    <message>
        <source>Not a regular file — unchanged</source>
        <translation>Pas un fichier ordinaire — inchangé</translation>
    </message>
    <message>
        <source>Journal of an interrupted rewrite: recovery completes it</source>
        <translation>Journal d’une réécriture interrompue&#xa0;: la récupération l’achève</translation>
    </message>
    <message>
        <source>Has several names (hard links) — unchanged</source>
        <translation>A plusieurs noms (liens physiques) — inchangé</translation>
    </message>
    <message>
        <source>Read-only — unchanged</source>
        <translation>En lecture seule — inchangé</translation>
    </message>
    <message>
        <source>Name too long to add “.brisklet” — unchanged</source>
        <translation>Nom trop long pour y ajouter «&#xa0;.brisklet&#xa0;» — inchangé</translation>
    </message>
    <message>
        <source>Its folder is not writable — unchanged</source>
        <translation>Son dossier n’est pas accessible en écriture — inchangé</translation>
    </message>
    <message>
        <source>{detail} already exists — unchanged</source>
        <translation>{detail} existe déjà — inchangé</translation>
    </message>
    <message>
        <source>{verb}, but not renamed: {detail} already exists</source>
        <translation>{verb}, mais pas renommé&#xa0;: {detail} existe déjà</translation>
    </message>
    <message>
        <source>{verb}, but not renamed: no extension to remove</source>
        <translation>{verb}, mais pas renommé&#xa0;: aucune extension à retirer</translation>
    </message>
    <message>
        <source>{verb}, but not renamed: permission denied</source>
        <translation>{verb}, mais pas renommé&#xa0;: permission refusée</translation>
    </message>
    <message>
        <source>Could not write its working copy beside it — unchanged</source>
        <translation>Impossible d’écrire sa copie de travail à côté — inchangé</translation>
    </message>
    <message>
        <source>Could not read its working copy — unchanged</source>
        <translation>Impossible de lire sa copie de travail — inchangé</translation>
    </message>
    <message>
        <source>Could not read the journal of its interrupted rewrite</source>
        <translation>Impossible de lire le journal de sa réécriture interrompue</translation>
    </message>
    <message>
        <source>Could not write the file — unchanged</source>
        <translation>Impossible d’écrire le fichier — inchangé</translation>
    </message>
    <message>
        <source>Could not shorten the file — unchanged</source>
        <translation>Impossible de raccourcir le fichier — inchangé</translation>
    </message>
    <message>
        <source>The cipher failed — unchanged</source>
        <translation>Le chiffrement a échoué — inchangé</translation>
    </message>
    <message>
        <source>The key could not be prepared — unchanged</source>
        <translation>La clé n’a pas pu être préparée — inchangé</translation>
    </message>
    <message>
        <source>Not found</source>
        <translation>Introuvable</translation>
    </message>
    <message>
        <source>Permission denied — unchanged</source>
        <translation>Permission refusée — inchangé</translation>
    </message>
    <message>
        <source>On a read-only file system — unchanged</source>
        <translation>Sur un système de fichiers en lecture seule — inchangé</translation>
    </message>
    <message>
        <source>No space left on the disk — unchanged</source>
        <translation>Plus d’espace sur le disque — inchangé</translation>
    </message>
    <message>
        <source>{verb} → {name} (a journal was left beside it)</source>
        <translation>{verb} → {name} (un journal est resté à côté)</translation>
    </message>
    <message>
        <source>Stopped, untouched</source>
        <translation>Arrêté, intact</translation>
    </message>
    <message>
        <source>Encrypted</source>
        <translation>Chiffré</translation>
    </message>
    <message>
        <source>Decrypted</source>
        <translation>Déchiffré</translation>
    </message>
    <message>
        <source>Processed</source>
        <translation>Traité</translation>
    </message>
    <message>
        <source>Encryption</source>
        <translation>Chiffrement</translation>
    </message>
    <message>
        <source>Decryption</source>
        <translation>Déchiffrement</translation>
    </message>
    <message>
        <source>Rewrite</source>
        <translation>Réécriture</translation>
    </message>
    <message>
        <source>Encrypting…</source>
        <translation>Chiffrement…</translation>
    </message>
    <message>
        <source>Decrypting…</source>
        <translation>Déchiffrement…</translation>
    </message>
    <message>
        <source>Checking…</source>
        <translation>Vérification…</translation>
    </message>
    <message>
        <source>Recovering…</source>
        <translation>Récupération…</translation>
    </message>
    <message>
        <source>{verb} → {name}</source>
        <translation>{verb} → {name}</translation>
    </message>
    <message>
        <source>{verb}, but not renamed to {name}</source>
        <translation>{verb}, mais pas renommé en {name}</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Échec</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Échec&#xa0;: %1</translation>
    </message>
    <message>
        <source>Unknown status %1</source>
        <translation>État inconnu %1</translation>
    </message>
    <message>
        <source>Opens</source>
        <translation>S’ouvre</translation>
    </message>
    <message>
        <source>Cannot be read</source>
        <translation>Illisible</translation>
    </message>
    <message>
        <source>Stopped, not checked</source>
        <translation>Arrêté, non vérifié</translation>
    </message>
    <message>
        <source>Cannot be read: %1</source>
        <translation>Illisible&#xa0;: %1</translation>
    </message>
    <message>
        <source>Waiting for the next run</source>
        <translation>En attente de la prochaine opération</translation>
    </message>
    <message>
        <source>Queued</source>
        <translation>En file d’attente</translation>
    </message>
    <message>
        <source>%1 %2%</source>
        <translation>%1 %2&#xa0;%</translation>
    </message>
    <message>
        <source>{verb} → {name} (opened with the passphrase&apos;s NFC form)</source>
        <translation>{verb} → {name} (ouvert avec la forme NFC de la phrase secrète)</translation>
    </message>
    <message>
        <source>{verb} → {name} (opened with the passphrase&apos;s NFD form)</source>
        <translation>{verb} → {name} (ouvert avec la forme NFD de la phrase secrète)</translation>
    </message>
    <message>
        <source>Opens with the passphrase&apos;s NFC form</source>
        <translation>S’ouvre avec la forme NFC de la phrase secrète</translation>
    </message>
    <message>
        <source>Opens with the passphrase&apos;s NFD form</source>
        <translation>S’ouvre avec la forme NFD de la phrase secrète</translation>
    </message>
</context>
<context>
    <name>StrengthEstimate</name>
    <message>
        <source>less than a second</source>
        <translation>moins d’une seconde</translation>
    </message>
    <message>
        <source>about 1 second</source>
        <translation>environ 1 seconde</translation>
    </message>
    <message numerus="yes">
        <source>about %n seconds</source>
        <translation>
            <numerusform>environ %n seconde</numerusform>
            <numerusform>environ %n secondes</numerusform>
        </translation>
    </message>
    <message>
        <source>about 1 minute</source>
        <translation>environ 1 minute</translation>
    </message>
    <message numerus="yes">
        <source>about %n minutes</source>
        <translation>
            <numerusform>environ %n minute</numerusform>
            <numerusform>environ %n minutes</numerusform>
        </translation>
    </message>
    <message>
        <source>about 1 hour</source>
        <translation>environ 1 heure</translation>
    </message>
    <message numerus="yes">
        <source>about %n hours</source>
        <translation>
            <numerusform>environ %n heure</numerusform>
            <numerusform>environ %n heures</numerusform>
        </translation>
    </message>
    <message>
        <source>about 1 day</source>
        <translation>environ 1 jour</translation>
    </message>
    <message numerus="yes">
        <source>about %n days</source>
        <translation>
            <numerusform>environ %n jour</numerusform>
            <numerusform>environ %n jours</numerusform>
        </translation>
    </message>
    <message>
        <source>about 1 year</source>
        <translation>environ 1 an</translation>
    </message>
    <message numerus="yes">
        <source>about %n years</source>
        <translation>
            <numerusform>environ %n an</numerusform>
            <numerusform>environ %n ans</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>about %n thousand years</source>
        <translation>
            <numerusform>environ %n millier d’années</numerusform>
            <numerusform>environ %n milliers d’années</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>about %n million years</source>
        <translation>
            <numerusform>environ %n million d’années</numerusform>
            <numerusform>environ %n millions d’années</numerusform>
        </translation>
    </message>
    <message>
        <source>more than a billion years</source>
        <translation>plus d’un milliard d’années</translation>
    </message>
    <message>
        <source>Weak passphrase: it could be guessed in %1. A longer one, such as six random words (Edit ▸ Suggest a Passphrase…), is far safer.</source>
        <translation>Phrase secrète faible : elle pourrait être devinée en %1. Une plus longue, par exemple six mots au hasard (Édition ▸ Suggérer une phrase secrète…), est bien plus sûre.</translation>
    </message>
    <message>
        <source>Estimated time to guess this passphrase: %1.</source>
        <translation>Temps estimé pour deviner cette phrase secrète : %1.</translation>
    </message>
    <message>
        <source>This assumes an attacker who tries 10¹⁰ (ten billion) passphrases a second. Guessing is fast because the key is a single hash of the passphrase with no salt, so one key found opens every file encrypted with this passphrase.</source>
        <translation>On suppose un attaquant qui essaie 10¹⁰ (dix milliards) de phrases secrètes par seconde. Deviner est rapide, car la clé est un simple hachage de la phrase secrète, sans sel : une clé trouvée ouvre donc tous les fichiers chiffrés avec cette phrase secrète.</translation>
    </message>
</context>
<context>
    <name>SuggestionDialog</name>
    <message>
        <source>Suggest a Passphrase</source>
        <translation>Suggérer une phrase secrète</translation>
    </message>
    <message>
        <source>Six words drawn at random from a list of %1:</source>
        <translation>Six mots tirés au hasard d’une liste de %1 :</translation>
    </message>
    <message>
        <source>Strength: %1 bits exactly, even for an attacker who knows the list. At 10¹⁰ guesses a second that is %2.</source>
        <translation>Robustesse : exactement %1 bits, même face à un attaquant qui connaît la liste. À 10¹⁰ essais par seconde, cela fait %2.</translation>
    </message>
    <message>
        <source>Write these words down on paper and keep them somewhere safe: without them, files encrypted with them cannot be opened again.</source>
        <translation>Notez ces mots sur papier et gardez-les en lieu sûr : sans eux, les fichiers chiffrés avec eux ne pourront plus être ouverts.</translation>
    </message>
    <message>
        <source>&amp;Use These Words</source>
        <translation>&amp;Utiliser ces mots</translation>
    </message>
    <message>
        <source>&amp;Other Words</source>
        <translation>&amp;Autres mots</translation>
    </message>
    <message>
        <source>&amp;Suggest a Passphrase…</source>
        <translation>&amp;Suggérer une phrase secrète…</translation>
    </message>
    <message>
        <source>No random words could be drawn: the system gave no random numbers.</source>
        <translation>Aucun mot n’a pu être tiré au hasard : le système n’a fourni aucun nombre aléatoire.</translation>
    </message>
</context>
</TS>
