<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About Brisklet</source>
        <translation>Acerca de Brisklet</translation>
    </message>
    <message>
        <source>Encrypts files in place with a passphrase.</source>
        <translation>Cifra archivos en su sitio con una frase de contraseña.</translation>
    </message>
    <message>
        <source>Licence: GPL-3.0-or-later. This program comes with no warranty; you may share and change it under the terms of the GNU General Public License, version 3 or any later version.</source>
        <translation>Licencia: GPL-3.0-or-later. Este programa se ofrece sin ninguna garantía; puede compartirlo y modificarlo según los términos de la GNU General Public License, versión 3 o cualquier versión posterior.</translation>
    </message>
    <message>
        <source>Brisklet %1</source>
        <translation>Brisklet %1</translation>
    </message>
    <message>
        <source>Twofish-256 in CBC keyed by the JH-256 digest of the passphrase; no header, no salt.</source>
        <translation>Twofish-256 en modo CBC, con el resumen JH-256 de la frase de contraseña como clave; sin cabecera, sin sal.</translation>
    </message>
    <message>
        <source>Suggested passphrases use the EFF long word list, © 2016 Electronic Frontier Foundation, under the Creative Commons Attribution 3.0 licence (CC BY 3.0).</source>
        <translation>Las frases de contraseña sugeridas usan la lista larga de palabras de la EFF, © 2016 Electronic Frontier Foundation, bajo la licencia Creative Commons Reconocimiento 3.0 (CC BY 3.0).</translation>
    </message>
</context>
<context>
    <name>BriskletAppDelegate</name>
    <message>
        <source>&amp;Add Files and Folders…</source>
        <translation>&amp;Añadir archivos y carpetas…</translation>
    </message>
    <message>
        <source>&amp;Encrypt</source>
        <translation>&amp;Cifrar</translation>
    </message>
    <message>
        <source>&amp;Decrypt</source>
        <translation>&amp;Descifrar</translation>
    </message>
    <message>
        <source>&amp;Check Passphrase</source>
        <translation>Com&amp;probar la frase de contraseña</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>Dete&amp;ner</translation>
    </message>
    <message>
        <source>&amp;Preferences…</source>
        <translation>Pre&amp;ferencias…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Salir</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>&amp;Quitar</translation>
    </message>
    <message>
        <source>Show in &amp;Folder</source>
        <translation>Mostrar en la &amp;carpeta</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Archivo</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Editar</translation>
    </message>
    <message>
        <source>Remove &amp;Finished</source>
        <translation>Quitar &amp;terminados</translation>
    </message>
    <message>
        <source>Remove A&amp;ll</source>
        <translation>Quitar t&amp;odos</translation>
    </message>
    <message numerus="yes">
        <source>Completing %n file(s) that an interrupted run left unfinished…</source>
        <translation>
            <numerusform>Completando %n archivo que una operación interrumpida dejó sin terminar…</numerusform>
            <numerusform>Completando %n archivos que una operación interrumpida dejó sin terminar…</numerusform>
        </translation>
    </message>
    <message>
        <source>Stopping: files being rewritten are finished first…</source>
        <translation>Deteniendo: primero se terminan los archivos que se están reescribiendo…</translation>
    </message>
    <message numerus="yes">
        <source>Stopped; %n file(s) left untouched.</source>
        <translation>
            <numerusform>Detenido; %n archivo quedó intacto.</numerusform>
            <numerusform>Detenido; %n archivos quedaron intactos.</numerusform>
        </translation>
    </message>
    <message>
        <source>Brisklet</source>
        <translation>Brisklet</translation>
    </message>
    <message numerus="yes">
        <source>Recovered %n file(s) that an interrupted run left unfinished.</source>
        <translation>
            <numerusform>Se recuperó %n archivo que una operación interrumpida dejó sin terminar.</numerusform>
            <numerusform>Se recuperaron %n archivos que una operación interrumpida dejó sin terminar.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Recovered %n file(s).</source>
        <translation>
            <numerusform>Se recuperó %n archivo.</numerusform>
            <numerusform>Se recuperaron %n archivos.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n could not be recovered: see their rows.</source>
        <translation>
            <numerusform>%n no se pudo recuperar: vea su fila.</numerusform>
            <numerusform>%n no se pudieron recuperar: vea sus filas.</numerusform>
        </translation>
    </message>
    <message>
        <source>The check could not be started.</source>
        <translation>No se pudo iniciar la comprobación.</translation>
    </message>
    <message numerus="yes">
        <source>Check stopped; %n file(s) not checked.</source>
        <translation>
            <numerusform>Comprobación detenida; %n archivo sin comprobar.</numerusform>
            <numerusform>Comprobación detenida; %n archivos sin comprobar.</numerusform>
        </translation>
    </message>
    <message>
        <source>Wait until the files being processed are done, or stop the run.</source>
        <translation>Espere a que terminen los archivos en curso, o detenga la operación.</translation>
    </message>
    <message>
        <source>Add files first: drop them on the list or choose Add Files and Folders….</source>
        <translation>Primero añada archivos: suéltelos en la lista o elija «Añadir archivos y carpetas…».</translation>
    </message>
    <message>
        <source>Type the passphrase to encrypt, decrypt or check the listed files.</source>
        <translation>Escriba la frase de contraseña para cifrar, descifrar o comprobar los archivos de la lista.</translation>
    </message>
    <message>
        <source>Tell for each listed file whether the passphrase opens it, changing nothing</source>
        <translation>Indicar para cada archivo de la lista si la frase de contraseña lo abre, sin cambiar nada</translation>
    </message>
    <message>
        <source>Encrypt every listed file with the passphrase</source>
        <translation>Cifrar todos los archivos de la lista con la frase de contraseña</translation>
    </message>
    <message>
        <source>Decrypt every listed file with the passphrase</source>
        <translation>Descifrar todos los archivos de la lista con la frase de contraseña</translation>
    </message>
    <message>
        <source>The list holds encrypted and plain files: Return does nothing; choose Encrypt or Decrypt.</source>
        <translation>La lista contiene archivos cifrados y sin cifrar: Intro no hace nada; elija Cifrar o Descifrar.</translation>
    </message>
    <message>
        <source>No application could open the folder %1</source>
        <translation>Ninguna aplicación pudo abrir la carpeta %1</translation>
    </message>
    <message>
        <source>Nothing was encrypted: every listed file is encrypted already.</source>
        <translation>No se cifró nada: todos los archivos de la lista ya están cifrados.</translation>
    </message>
    <message>
        <source>Type the passphrase, then press Return to encrypt</source>
        <translation>Escriba la frase de contraseña y pulse Intro para cifrar</translation>
    </message>
    <message>
        <source>Type the passphrase, then press Return to decrypt</source>
        <translation>Escriba la frase de contraseña y pulse Intro para descifrar</translation>
    </message>
</context>
<context>
    <name>ConfirmationSheet</name>
    <message>
        <source>Confirm Passphrase</source>
        <translation>Confirmar la frase de contraseña</translation>
    </message>
    <message>
        <source>&amp;Type the passphrase again to confirm it:</source>
        <translation>&amp;Escriba de nuevo la frase de contraseña para confirmarla:</translation>
    </message>
    <message>
        <source>The passphrases do not match</source>
        <translation>Las frases de contraseña no coinciden</translation>
    </message>
    <message numerus="yes">
        <source>Encrypt %n file(s) in place. Without this passphrase they cannot be opened again.</source>
        <translation>
            <numerusform>Cifrar %n archivo en su sitio. Sin esta frase de contraseña no se podrá volver a abrir.</numerusform>
            <numerusform>Cifrar %n archivos en su sitio. Sin esta frase de contraseña no se podrán volver a abrir.</numerusform>
        </translation>
    </message>
    <message>
        <source>Encrypt Them &amp;Again</source>
        <translation>&amp;Cifrarlos de nuevo</translation>
    </message>
    <message>
        <source>Before Encrypting</source>
        <translation>Antes de cifrar</translation>
    </message>
    <message>
        <source>&amp;Skip Them</source>
        <translation>&amp;Omitirlos</translation>
    </message>
    <message numerus="yes">
        <source>%1 and %n more</source>
        <translation>
            <numerusform>%1 y %n más</numerusform>
            <numerusform>%1 y %n más</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1 y %2</translation>
    </message>
    <message>
        <source>Already encrypted (1 file): %1. Skip Them leaves it as it is; Encrypt Them Again encrypts it a second time, and it then needs two decryptions.</source>
        <translation>Ya cifrado (1 archivo): %1. «Omitirlos» lo deja como está; «Cifrarlos de nuevo» lo cifra por segunda vez, y luego habrá que descifrarlo dos veces.</translation>
    </message>
    <message numerus="yes">
        <source>Already encrypted (%n files): %1. Skip Them leaves them as they are; Encrypt Them Again encrypts them a second time, and each then needs two decryptions.</source>
        <translation>
            <numerusform>Ya cifrado (%n archivo): %1. «Omitirlos» lo deja como está; «Cifrarlos de nuevo» lo cifra por segunda vez, y luego habrá que descifrarlo dos veces.</numerusform>
            <numerusform>Ya cifrados (%n archivos): %1. «Omitirlos» los deja como están; «Cifrarlos de nuevo» los cifra por segunda vez, y luego habrá que descifrar cada uno dos veces.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FileAndFolderDialog</name>
    <message>
        <source>Add Files and Folders</source>
        <translation>Añadir archivos y carpetas</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Añadir</translation>
    </message>
</context>
<context>
    <name>FileTableModel</name>
    <message>
        <source>not processed yet</source>
        <translation>aún sin procesar</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Archivo</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Estado</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Carpeta</translation>
    </message>
</context>
<context>
    <name>FileTableView</name>
    <message>
        <source>Drop files or folders here, or choose Add Files and Folders…</source>
        <translation>Suelte archivos o carpetas aquí, o elija «Añadir archivos y carpetas…»</translation>
    </message>
</context>
<context>
    <name>HelpMenu</name>
    <message>
        <source>&amp;Help</source>
        <translation>A&amp;yuda</translation>
    </message>
    <message>
        <source>&amp;Keyboard Shortcuts</source>
        <translation>Atajos de &amp;teclado</translation>
    </message>
    <message>
        <source>&amp;About Brisklet</source>
        <translation>&amp;Acerca de Brisklet</translation>
    </message>
</context>
<context>
    <name>LaunchArguments</name>
    <message>
        <source>--encrypt and --decrypt cannot be given together</source>
        <translation>--encrypt y --decrypt no se pueden indicar a la vez</translation>
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
        <translation>Escriba la frase de contraseña</translation>
    </message>
    <message>
        <source>&amp;Passphrase:</source>
        <translation>&amp;Frase de contraseña:</translation>
    </message>
    <message>
        <source>Colours of the passphrase: the same passphrase always shows the same colours</source>
        <translation>Colores de la frase de contraseña: la misma frase de contraseña siempre muestra los mismos colores</translation>
    </message>
    <message>
        <source>Passphrase colours</source>
        <translation>Colores de la frase de contraseña</translation>
    </message>
    <message>
        <source>Colour check of the passphrase: four bars</source>
        <translation>Comprobación por colores de la frase de contraseña: cuatro barras</translation>
    </message>
    <message>
        <source>E&amp;ncrypt</source>
        <translation>&amp;Cifrar</translation>
    </message>
    <message>
        <source>&amp;Decrypt</source>
        <translation>&amp;Descifrar</translation>
    </message>
    <message>
        <source>&amp;Check</source>
        <translation>Com&amp;probar</translation>
    </message>
    <message>
        <source>Add F&amp;iles and Folders…</source>
        <translation>Añadir a&amp;rchivos y carpetas…</translation>
    </message>
    <message>
        <source>&amp;Remove Finished</source>
        <translation>Quitar &amp;terminados</translation>
    </message>
    <message>
        <source>Remove &amp;Selected</source>
        <translation>Quitar &amp;seleccionados</translation>
    </message>
    <message>
        <source>Remove &amp;All</source>
        <translation>Quitar t&amp;odos</translation>
    </message>
    <message>
        <source>Progress of the run</source>
        <translation>Progreso de la operación</translation>
    </message>
    <message>
        <source>999 of 999 files</source>
        <translation>999 de 999 archivos</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>Dete&amp;ner</translation>
    </message>
    <message>
        <source>Stop the run: files not yet being rewritten stay as they are (Esc)</source>
        <translation>Detener la operación: los archivos que aún no se están reescribiendo quedan como están (Esc)</translation>
    </message>
</context>
<context>
    <name>MySecureTextField</name>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Pegar</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Seleccionar todo</translation>
    </message>
</context>
<context>
    <name>PassphraseRefusal</name>
    <message>
        <source>The passphrase contains an invalid character (an unpaired UTF-16 surrogate).</source>
        <translation>La frase de contraseña contiene un carácter no válido (un sustituto UTF-16 sin pareja).</translation>
    </message>
    <message numerus="yes">
        <source>The passphrase is too long: at most %n character(s) can be used.</source>
        <translation>
            <numerusform>La frase de contraseña es demasiado larga: se puede usar como máximo %n carácter.</numerusform>
            <numerusform>La frase de contraseña es demasiado larga: se pueden usar como máximo %n caracteres.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PreferencesSheet</name>
    <message>
        <source>Preferences</source>
        <translation>Preferencias</translation>
    </message>
    <message>
        <source>&amp;Ask for the passphrase twice before encrypting</source>
        <translation>&amp;Pedir la frase de contraseña dos veces antes de cifrar</translation>
    </message>
    <message>
        <source>&amp;Show each typed character for (seconds):</source>
        <translation>&amp;Mostrar cada carácter escrito durante (segundos):</translation>
    </message>
</context>
<context>
    <name>QuitQuestion</name>
    <message>
        <source>Quit while files are being encrypted?</source>
        <translation>¿Salir mientras se cifran archivos?</translation>
    </message>
    <message>
        <source>Quit while files are being decrypted?</source>
        <translation>¿Salir mientras se descifran archivos?</translation>
    </message>
    <message>
        <source>Quit while files are being recovered?</source>
        <translation>¿Salir mientras se recuperan archivos?</translation>
    </message>
    <message>
        <source>Files not started yet stay untouched. Files being written are finished first, so that none is left half written; then Brisklet quits.</source>
        <translation>Los archivos aún no empezados quedan intactos. Los archivos que se están escribiendo se terminan primero, para que ninguno quede a medio escribir; después Brisklet se cierra.</translation>
    </message>
    <message>
        <source>Stop and &amp;Quit</source>
        <translation>Detener y &amp;salir</translation>
    </message>
    <message>
        <source>&amp;Keep Running</source>
        <translation>&amp;Seguir</translation>
    </message>
    <message>
        <source>Finishing…</source>
        <translation>Terminando…</translation>
    </message>
    <message numerus="yes">
        <source>Finishing %1 and %n more…</source>
        <translation>
            <numerusform>Terminando %1 y %n más…</numerusform>
            <numerusform>Terminando %1 y %n más…</numerusform>
        </translation>
    </message>
    <message>
        <source>Finishing %1…</source>
        <translation>Terminando %1…</translation>
    </message>
    <message>
        <source>Finishing %1 and %2…</source>
        <translation>Terminando %1 y %2…</translation>
    </message>
</context>
<context>
    <name>RunProgress</name>
    <message numerus="yes">
        <source>%1 of %n file(s)</source>
        <translation>
            <numerusform>%1 de %n archivo</numerusform>
            <numerusform>%1 de %n archivos</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RunSummary</name>
    <message numerus="yes">
        <source>%n encrypted</source>
        <translation>
            <numerusform>%n cifrado</numerusform>
            <numerusform>%n cifrados</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n not renamed</source>
        <translation>
            <numerusform>%n sin renombrar</numerusform>
            <numerusform>%n sin renombrar</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n failed</source>
        <translation>
            <numerusform>%n con error</numerusform>
            <numerusform>%n con error</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n stopped</source>
        <translation>
            <numerusform>%n detenido</numerusform>
            <numerusform>%n detenidos</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n decrypted</source>
        <translation>
            <numerusform>%n descifrado</numerusform>
            <numerusform>%n descifrados</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n open</source>
        <translation>
            <numerusform>%n se abre</numerusform>
            <numerusform>%n se abren</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n do not open</source>
        <translation>
            <numerusform>%n no se abre</numerusform>
            <numerusform>%n no se abren</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n not encrypted</source>
        <translation>
            <numerusform>%n sin cifrar</numerusform>
            <numerusform>%n sin cifrar</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n could not be read</source>
        <translation>
            <numerusform>%n no se pudo leer</numerusform>
            <numerusform>%n no se pudieron leer</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n recovered</source>
        <translation>
            <numerusform>%n recuperado</numerusform>
            <numerusform>%n recuperados</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ShortcutsDialog</name>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation>Atajos de teclado</translation>
    </message>
    <message>
        <source> or </source>
        <translation> o </translation>
    </message>
    <message>
        <source>Encrypt or Decrypt, as the list calls for (in the passphrase field)</source>
        <translation>Cifrar o Descifrar, según la lista (en el campo de la frase de contraseña)</translation>
    </message>
    <message>
        <source>Return</source>
        <translation>Intro</translation>
    </message>
    <message>
        <source>Remove the selected files (in the list)</source>
        <translation>Quitar los archivos seleccionados (en la lista)</translation>
    </message>
    <message>
        <source>Delete or Backspace</source>
        <translation>Supr o Retroceso</translation>
    </message>
    <message>
        <source>The list&apos;s menu: of the current file, or of the whole list</source>
        <translation>El menú de la lista: del archivo actual o de toda la lista</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>Menú</translation>
    </message>
    <message>
        <source>Move between the passphrase, the buttons and the list</source>
        <translation>Moverse entre la frase de contraseña, los botones y la lista</translation>
    </message>
    <message>
        <source>Tab, Shift+Tab</source>
        <translation>Tab, Mayús+Tab</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Orden</translation>
    </message>
    <message>
        <source>Keys</source>
        <translation>Teclas</translation>
    </message>
</context>
<context>
    <name>StatusText</name>
    <message>
        <source>Same file as {detail}</source>
        <translation>El mismo archivo que {detail}</translation>
    </message>
    <message>
        <source>{noun} completed after an interruption → {name}</source>
        <translation>{noun} completado tras una interrupción → {name}</translation>
    </message>
    <message>
        <source>{noun} completed after an interruption, but not renamed</source>
        <translation>{noun} completado tras una interrupción, pero sin renombrar</translation>
    </message>
    <message>
        <source>Finished, but not yet safe on disk — will be completed</source>
        <translation>Terminado, pero aún no seguro en el disco — se completará</translation>
    </message>
    <message>
        <source>Written, but not yet safe on disk — will be completed</source>
        <translation>Escrito, pero aún no seguro en el disco — se completará</translation>
    </message>
    <message>
        <source>Its journal was damaged; the file was never touched — unchanged</source>
        <translation>Su registro estaba dañado; el archivo nunca se tocó — sin cambios</translation>
    </message>
    <message>
        <source>Interrupted, and its journal is damaged: the file stays partly rewritten</source>
        <translation>Interrumpido, y su registro está dañado: el archivo queda reescrito en parte</translation>
    </message>
    <message>
        <source>Interrupted; its journal needs another version of Brisklet</source>
        <translation>Interrumpido; su registro necesita otra versión de Brisklet</translation>
    </message>
    <message>
        <source>Changed since it was interrupted — nothing done, journal kept</source>
        <translation>Modificado desde la interrupción — no se hizo nada, registro conservado</translation>
    </message>
    <message>
        <source>Moved or deleted since it was interrupted — nothing done</source>
        <translation>Movido o eliminado desde la interrupción — no se hizo nada</translation>
    </message>
    <message>
        <source>Interrupted: the journal belongs to {detail}; run brisklet-cli recover as {detail}</source>
        <translation>Interrumpido: el registro pertenece a {detail}; ejecute brisklet-cli recover como {detail}</translation>
    </message>
    <message>
        <source>Changed by another program during the rewrite — journal kept</source>
        <translation>Modificado por otro programa durante la reescritura — registro conservado</translation>
    </message>
    <message>
        <source>Interrupted: will be completed at the next start or run</source>
        <translation>Interrumpido: se completará en el próximo inicio u operación</translation>
    </message>
    <message>
        <source>Open in another program — unchanged</source>
        <translation>Abierto en otro programa — sin cambios</translation>
    </message>
    <message>
        <source>In use by another run — unchanged</source>
        <translation>En uso por otra operación — sin cambios</translation>
    </message>
    <message>
        <source>Changed while it was read — unchanged</source>
        <translation>Modificado mientras se leía — sin cambios</translation>
    </message>
    <message>
        <source>Not an encrypted file</source>
        <translation>No es un archivo cifrado</translation>
    </message>
    <message>
        <source>Does not open with this passphrase (or is not an encrypted file) — unchanged</source>
        <translation>No se abre con esta frase de contraseña (o no es un archivo cifrado) — sin cambios</translation>
    </message>
    <message>
        <source>Symbolic link: add the file it points to</source>
        <translation>Enlace simbólico: añada el archivo al que apunta</translation>
    </message>
    <message>
        <source>Not a regular file — unchanged</source>
        <translation>No es un archivo normal — sin cambios</translation>
    </message>
    <message>
        <source>Journal of an interrupted rewrite: recovery completes it</source>
        <translation>Registro de una reescritura interrumpida: la recuperación la completa</translation>
    </message>
    <message>
        <source>Has several names (hard links) — unchanged</source>
        <translation>Tiene varios nombres (enlaces duros) — sin cambios</translation>
    </message>
    <message>
        <source>Read-only — unchanged</source>
        <translation>De solo lectura — sin cambios</translation>
    </message>
    <message>
        <source>Name too long to add “.brisklet” — unchanged</source>
        <translation>Nombre demasiado largo para añadir «.brisklet» — sin cambios</translation>
    </message>
    <message>
        <source>Its folder is not writable — unchanged</source>
        <translation>Su carpeta no admite escritura — sin cambios</translation>
    </message>
    <message>
        <source>{detail} already exists — unchanged</source>
        <translation>{detail} ya existe — sin cambios</translation>
    </message>
    <message>
        <source>{verb}, but not renamed: {detail} already exists</source>
        <translation>{verb}, pero sin renombrar: {detail} ya existe</translation>
    </message>
    <message>
        <source>{verb}, but not renamed: no extension to remove</source>
        <translation>{verb}, pero sin renombrar: no hay extensión que quitar</translation>
    </message>
    <message>
        <source>{verb}, but not renamed: permission denied</source>
        <translation>{verb}, pero sin renombrar: permiso denegado</translation>
    </message>
    <message>
        <source>Could not write its working copy beside it — unchanged</source>
        <translation>No se pudo escribir su copia de trabajo al lado — sin cambios</translation>
    </message>
    <message>
        <source>Could not read its working copy — unchanged</source>
        <translation>No se pudo leer su copia de trabajo — sin cambios</translation>
    </message>
    <message>
        <source>Could not read the journal of its interrupted rewrite</source>
        <translation>No se pudo leer el registro de su reescritura interrumpida</translation>
    </message>
    <message>
        <source>Could not write the file — unchanged</source>
        <translation>No se pudo escribir el archivo — sin cambios</translation>
    </message>
    <message>
        <source>Could not shorten the file — unchanged</source>
        <translation>No se pudo acortar el archivo — sin cambios</translation>
    </message>
    <message>
        <source>The cipher failed — unchanged</source>
        <translation>Falló el cifrado — sin cambios</translation>
    </message>
    <message>
        <source>The key could not be prepared — unchanged</source>
        <translation>No se pudo preparar la clave — sin cambios</translation>
    </message>
    <message>
        <source>Not found</source>
        <translation>No encontrado</translation>
    </message>
    <message>
        <source>Permission denied — unchanged</source>
        <translation>Permiso denegado — sin cambios</translation>
    </message>
    <message>
        <source>On a read-only file system — unchanged</source>
        <translation>En un sistema de archivos de solo lectura — sin cambios</translation>
    </message>
    <message>
        <source>No space left on the disk — unchanged</source>
        <translation>No queda espacio en el disco — sin cambios</translation>
    </message>
    <message>
        <source>{verb} → {name} (a journal was left beside it)</source>
        <translation>{verb} → {name} (quedó un registro a su lado)</translation>
    </message>
    <message>
        <source>Stopped, untouched</source>
        <translation>Detenido, intacto</translation>
    </message>
    <message>
        <source>Encrypted</source>
        <translation>Cifrado</translation>
    </message>
    <message>
        <source>Decrypted</source>
        <translation>Descifrado</translation>
    </message>
    <message>
        <source>Processed</source>
        <translation>Procesado</translation>
    </message>
    <message>
        <source>Encryption</source>
        <translation>Cifrado</translation>
    </message>
    <message>
        <source>Decryption</source>
        <translation>Descifrado</translation>
    </message>
    <message>
        <source>Rewrite</source>
        <translation>Reescritura</translation>
    </message>
    <message>
        <source>Encrypting…</source>
        <translation>Cifrando…</translation>
    </message>
    <message>
        <source>Decrypting…</source>
        <translation>Descifrando…</translation>
    </message>
    <message>
        <source>Checking…</source>
        <translation>Comprobando…</translation>
    </message>
    <message>
        <source>Recovering…</source>
        <translation>Recuperando…</translation>
    </message>
    <message>
        <source>{verb} → {name}</source>
        <translation>{verb} → {name}</translation>
    </message>
    <message>
        <source>{verb}, but not renamed to {name}</source>
        <translation>{verb}, pero sin renombrar a {name}</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Error: %1</translation>
    </message>
    <message>
        <source>Unknown status %1</source>
        <translation>Estado desconocido %1</translation>
    </message>
    <message>
        <source>Opens</source>
        <translation>Se abre</translation>
    </message>
    <message>
        <source>Cannot be read</source>
        <translation>No se puede leer</translation>
    </message>
    <message>
        <source>Stopped, not checked</source>
        <translation>Detenido, sin comprobar</translation>
    </message>
    <message>
        <source>Cannot be read: %1</source>
        <translation>No se puede leer: %1</translation>
    </message>
    <message>
        <source>Waiting for the next run</source>
        <translation>Esperando a la próxima operación</translation>
    </message>
    <message>
        <source>Queued</source>
        <translation>En cola</translation>
    </message>
    <message>
        <source>%1 %2%</source>
        <translation>%1 %2 %</translation>
    </message>
    <message>
        <source>{verb} → {name} (opened with the passphrase&apos;s NFC form)</source>
        <translation>{verb} → {name} (abierto con la forma NFC de la frase de contraseña)</translation>
    </message>
    <message>
        <source>{verb} → {name} (opened with the passphrase&apos;s NFD form)</source>
        <translation>{verb} → {name} (abierto con la forma NFD de la frase de contraseña)</translation>
    </message>
    <message>
        <source>Opens with the passphrase&apos;s NFC form</source>
        <translation>Se abre con la forma NFC de la frase de contraseña</translation>
    </message>
    <message>
        <source>Opens with the passphrase&apos;s NFD form</source>
        <translation>Se abre con la forma NFD de la frase de contraseña</translation>
    </message>
</context>
<context>
    <name>StrengthEstimate</name>
    <message>
        <source>less than a second</source>
        <translation>menos de un segundo</translation>
    </message>
    <message>
        <source>about 1 second</source>
        <translation>aproximadamente 1 segundo</translation>
    </message>
    <message numerus="yes">
        <source>about %n seconds</source>
        <translation>
            <numerusform>aproximadamente %n segundo</numerusform>
            <numerusform>aproximadamente %n segundos</numerusform>
        </translation>
    </message>
    <message>
        <source>about 1 minute</source>
        <translation>aproximadamente 1 minuto</translation>
    </message>
    <message numerus="yes">
        <source>about %n minutes</source>
        <translation>
            <numerusform>aproximadamente %n minuto</numerusform>
            <numerusform>aproximadamente %n minutos</numerusform>
        </translation>
    </message>
    <message>
        <source>about 1 hour</source>
        <translation>aproximadamente 1 hora</translation>
    </message>
    <message numerus="yes">
        <source>about %n hours</source>
        <translation>
            <numerusform>aproximadamente %n hora</numerusform>
            <numerusform>aproximadamente %n horas</numerusform>
        </translation>
    </message>
    <message>
        <source>about 1 day</source>
        <translation>aproximadamente 1 día</translation>
    </message>
    <message numerus="yes">
        <source>about %n days</source>
        <translation>
            <numerusform>aproximadamente %n día</numerusform>
            <numerusform>aproximadamente %n días</numerusform>
        </translation>
    </message>
    <message>
        <source>about 1 year</source>
        <translation>aproximadamente 1 año</translation>
    </message>
    <message numerus="yes">
        <source>about %n years</source>
        <translation>
            <numerusform>aproximadamente %n año</numerusform>
            <numerusform>aproximadamente %n años</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>about %n thousand years</source>
        <translation>
            <numerusform>aproximadamente %n mil años</numerusform>
            <numerusform>aproximadamente %n mil años</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>about %n million years</source>
        <translation>
            <numerusform>aproximadamente %n millón de años</numerusform>
            <numerusform>aproximadamente %n millones de años</numerusform>
        </translation>
    </message>
    <message>
        <source>more than a billion years</source>
        <translation>más de mil millones de años</translation>
    </message>
    <message>
        <source>Weak passphrase: it could be guessed in %1. A longer one, such as six random words (Edit ▸ Suggest a Passphrase…), is far safer.</source>
        <translation>Frase de contraseña débil: podría adivinarse en %1. Una más larga, como seis palabras al azar (Editar ▸ Sugerir una frase de contraseña…), es mucho más segura.</translation>
    </message>
    <message>
        <source>Estimated time to guess this passphrase: %1.</source>
        <translation>Tiempo estimado para adivinar esta frase de contraseña: %1.</translation>
    </message>
    <message>
        <source>This assumes an attacker who tries 10¹⁰ (ten billion) passphrases a second. Guessing is fast because the key is a single hash of the passphrase with no salt, so one key found opens every file encrypted with this passphrase.</source>
        <translation>Se supone un atacante que prueba 10¹⁰ (diez mil millones) de frases de contraseña por segundo. Adivinar es rápido porque la clave es un único hash de la frase de contraseña sin sal, así que una clave encontrada abre todos los archivos cifrados con esta frase de contraseña.</translation>
    </message>
</context>
<context>
    <name>SuggestionDialog</name>
    <message>
        <source>Suggest a Passphrase</source>
        <translation>Sugerir una frase de contraseña</translation>
    </message>
    <message>
        <source>Six words drawn at random from a list of %1:</source>
        <translation>Seis palabras elegidas al azar de una lista de %1:</translation>
    </message>
    <message>
        <source>Strength: %1 bits exactly, even for an attacker who knows the list. At 10¹⁰ guesses a second that is %2.</source>
        <translation>Fortaleza: exactamente %1 bits, incluso ante un atacante que conozca la lista. A 10¹⁰ intentos por segundo, eso son %2.</translation>
    </message>
    <message>
        <source>Write these words down on paper and keep them somewhere safe: without them, files encrypted with them cannot be opened again.</source>
        <translation>Escriba estas palabras en papel y guárdelas en un lugar seguro: sin ellas, los archivos cifrados con ellas no podrán volver a abrirse.</translation>
    </message>
    <message>
        <source>&amp;Use These Words</source>
        <translation>&amp;Usar estas palabras</translation>
    </message>
    <message>
        <source>&amp;Other Words</source>
        <translation>&amp;Otras palabras</translation>
    </message>
    <message>
        <source>&amp;Suggest a Passphrase…</source>
        <translation>&amp;Sugerir una frase de contraseña…</translation>
    </message>
    <message>
        <source>No random words could be drawn: the system gave no random numbers.</source>
        <translation>No se pudieron elegir palabras al azar: el sistema no proporcionó números aleatorios.</translation>
    </message>
</context>
</TS>
