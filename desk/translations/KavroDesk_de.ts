<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de" sourcelanguage="en">
<context>
    <name>BatchInterpreter</name>
    <message>
        <source>text after the output file</source>
        <translation>Text nach der Ausgabedatei</translation>
    </message>
    <message>
        <source>a second &quot;&gt;&gt;&quot;</source>
        <translation>ein zweites „&gt;&gt;“</translation>
    </message>
    <message>
        <source>the character %1 outside double quotes</source>
        <translation>das Zeichen %1 außerhalb von Anführungszeichen</translation>
    </message>
    <message>
        <source>a double quote that is not closed</source>
        <translation>ein nicht geschlossenes Anführungszeichen</translation>
    </message>
    <message>
        <source>no file after &quot;&gt;&gt;&quot;</source>
        <translation>keine Datei nach „&gt;&gt;“</translation>
    </message>
    <message>
        <source>no program</source>
        <translation>kein Programm</translation>
    </message>
    <message>
        <source>a command this interpreter does not run</source>
        <translation>ein Befehl, den dieser Interpreter nicht ausführt</translation>
    </message>
    <message>
        <source>The batch ran more than %1 lines and was stopped</source>
        <translation>Die Batchdatei hat mehr als %1 Zeilen ausgeführt und wurde angehalten</translation>
    </message>
    <message>
        <source>The batch line &quot;%1&quot; is not understood</source>
        <translation>Die Batchzeile „%1“ ist unverständlich</translation>
    </message>
    <message>
        <source>The batch label &quot;%1&quot; is not found</source>
        <translation>Die Sprungmarke „%1“ der Batchdatei fehlt</translation>
    </message>
    <message>
        <source>The batch line &quot;%1&quot; is not understood (%2)</source>
        <translation>Die Batchzeile „%1“ ist unverständlich (%2)</translation>
    </message>
</context>
<context>
    <name>BrowseFFDialog</name>
    <message>
        <source>Folders</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Chosen folder</source>
        <translation>Gewählter Ordner</translation>
    </message>
</context>
<context>
    <name>DeskMessages</name>
    <message>
        <source>Unexpected failure</source>
        <translation>Unerwarteter Fehler</translation>
    </message>
</context>
<context>
    <name>ExitOkButtons</name>
    <message>
        <source>Exit</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>ListViewControl</name>
    <message>
        <source>Click with right Mouse Button</source>
        <translation>Mit der rechten Maustaste klicken</translation>
    </message>
</context>
<context>
    <name>ListViewRows</name>
    <message>
        <source>The row key &quot;%1&quot; holds no ID.</source>
        <translation>Der Zeilenschlüssel „%1“ enthält keine ID.</translation>
    </message>
    <message>
        <source>No row of the list is selected.</source>
        <translation>In der Liste ist keine Zeile ausgewählt.</translation>
    </message>
    <message>
        <source>The stored width %1 of column %2 is not usable.</source>
        <translation>Die gespeicherte Breite %1 der Spalte %2 ist nicht verwendbar.</translation>
    </message>
</context>
<context>
    <name>RecordSet</name>
    <message>
        <source>The table has no field &quot;%1&quot;.</source>
        <translation>Die Tabelle hat kein Feld „%1“.</translation>
    </message>
    <message>
        <source>The cursor already stands past the last record.</source>
        <translation>Der Datensatzzeiger steht bereits hinter dem letzten Datensatz.</translation>
    </message>
    <message>
        <source>There is no current record: the cursor stands past the last one.</source>
        <translation>Es gibt keinen aktuellen Datensatz: Der Datensatzzeiger steht hinter dem letzten.</translation>
    </message>
    <message>
        <source>The value &quot;%1&quot; does not fit the whole number field &quot;%2&quot;.</source>
        <translation>Der Wert „%1“ passt nicht in das Ganzzahlfeld „%2“.</translation>
    </message>
    <message>
        <source>The text for the field &quot;%1&quot; is %2 bytes long; the field holds at most %3.</source>
        <translation>Der Text für das Feld „%1“ ist %2 Byte lang; das Feld fasst höchstens %3.</translation>
    </message>
    <message>
        <source>The value &quot;%1&quot; is not a number for the field &quot;%2&quot;.</source>
        <translation>Der Wert „%1“ ist keine Zahl für das Feld „%2“.</translation>
    </message>
    <message>
        <source>The value &quot;%1&quot; is not a date for the field &quot;%2&quot;.</source>
        <translation>Der Wert „%1“ ist kein Datum für das Feld „%2“.</translation>
    </message>
</context>
<context>
    <name>adoFileList</name>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>%1 file</source>
        <translation>%1-Datei</translation>
    </message>
    <message>
        <source>The file list has no free ID left.</source>
        <translation>Die Dateiliste hat keine freie ID mehr.</translation>
    </message>
    <message>
        <source>The file list holds no file with the ID %1.</source>
        <translation>Die Dateiliste enthält keine Datei mit der ID %1.</translation>
    </message>
    <message>
        <source>Cannot list the folder %1: %2</source>
        <translation>Der Ordner %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>Listing %1: %2 of %3 shapefiles ...</source>
        <translation>%1 wird gelesen: %2 von %3 Shapefiles ...</translation>
    </message>
    <message>
        <source>The file %1 was not found.</source>
        <translation>Die Datei %1 wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>cannot be read: %1</source>
        <translation>nicht lesbar: %1</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>the path holds a double quote or a line break, which cannot be passed to KAVRO</source>
        <translation>der Pfad enthält ein Anführungszeichen oder einen Zeilenumbruch, die nicht an KAVRO übergeben werden können</translation>
    </message>
    <message>
        <source>Cannot be converted, the path holds a double quote or a line break: %1</source>
        <translation>Nicht umrechenbar, der Pfad enthält ein Anführungszeichen oder einen Zeilenumbruch: %1</translation>
    </message>
    <message>
        <source>Cannot be read: %1</source>
        <translation>Nicht lesbar: %1</translation>
    </message>
    <message>
        <source>Not shown in the folder tree, the name is not UTF-8: %1</source>
        <translation>Nicht im Ordnerbaum angezeigt, der Name ist nicht UTF-8: %1</translation>
    </message>
    <message>
        <source>Not listed, left by an interrupted conversion: %1</source>
        <translation>Nicht aufgelistet, Rest einer abgebrochenen Umrechnung: %1</translation>
    </message>
    <message>
        <source>The file %1 cannot be listed.</source>
        <translation>Die Datei %1 kann nicht aufgelistet werden.</translation>
    </message>
    <message>
        <source>GeoPackage</source>
        <translation>GeoPackage</translation>
    </message>
    <message>
        <source>Point list (CSV)</source>
        <translation>Punktliste (CSV)</translation>
    </message>
    <message>
        <source>Listing %1: %2 of %3 files ...</source>
        <translation>%1 wird gelesen: %2 von %3 Dateien ...</translation>
    </message>
</context>
<context>
    <name>adoTaskList</name>
    <message>
        <source>The task list has no free ID left.</source>
        <translation>Die Aufgabenliste hat keine freie ID mehr.</translation>
    </message>
    <message>
        <source>The task list holds no task with the ID %1.</source>
        <translation>Die Aufgabenliste enthält keine Aufgabe mit der ID %1.</translation>
    </message>
    <message>
        <source>The task for %1 cannot be added.</source>
        <translation>Die Aufgabe für %1 kann nicht hinzugefügt werden.</translation>
    </message>
    <message>
        <source>The task %1 cannot be changed.</source>
        <translation>Die Aufgabe %1 kann nicht geändert werden.</translation>
    </message>
</context>
<context>
    <name>clsCommandStart</name>
    <message>
        <source>Click with right Mouse Button on File List and add Data</source>
        <translation>Bitte mit der rechten Maustaste auf die Dateiliste klicken und Daten hinzufügen.</translation>
    </message>
</context>
<context>
    <name>clsContextMenuFileList</name>
    <message>
        <source>Not added: %1</source>
        <translation>Nicht hinzugefügt: %1</translation>
    </message>
</context>
<context>
    <name>clsControlFileList</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>Last Modified</source>
        <translation>Geändert am</translation>
    </message>
</context>
<context>
    <name>clsControlTaskList</name>
    <message>
        <source>Inputfile (Gauss-Boaga)</source>
        <translation>Eingabedatei (Gauss-Boaga)</translation>
    </message>
    <message>
        <source>Outputfile (UTM WGS84-ETRS89)</source>
        <translation>Ausgabedatei (UTM WGS84-ETRS89)</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Output-Directory does not exist</source>
        <translation>Ausgabeordner fehlt</translation>
    </message>
    <message>
        <source>Output-SHP already exists</source>
        <translation>Ausgabe-SHP vorhanden</translation>
    </message>
    <message>
        <source>Error File-Extension</source>
        <translation>Falsche Dateiendung</translation>
    </message>
    <message>
        <source>Output-Files .sbn/.sbx already exist</source>
        <translation>Index .sbn/.sbx vorhanden</translation>
    </message>
    <message>
        <source>Output-Name holds a double quote or a line break</source>
        <translation>Ausgabename enthält ein Anführungszeichen oder einen Zeilenumbruch</translation>
    </message>
    <message>
        <source>Output-File already exists</source>
        <translation>Ausgabedatei vorhanden</translation>
    </message>
</context>
<context>
    <name>clsUserSettings</name>
    <message>
        <source>The setting &quot;%1&quot; could not be written to %2</source>
        <translation>Die Einstellung „%1“ konnte nicht in %2 geschrieben werden</translation>
    </message>
    <message>
        <source>Type mismatch: the setting &quot;%1&quot; holds &quot;%2&quot;, which is not a number</source>
        <translation>Typen unverträglich: Die Einstellung „%1“ enthält „%2“, das ist keine Zahl</translation>
    </message>
    <message>
        <source>Overflow: the setting &quot;%1&quot; holds %2, which is too large</source>
        <translation>Überlauf: Die Einstellung „%1“ enthält %2, das ist zu groß</translation>
    </message>
</context>
<context>
    <name>frmCommandStart</name>
    <message>
        <source>Please wait ...</source>
        <translation>Bitte warten ...</translation>
    </message>
    <message>
        <source>Files being converted</source>
        <translation>Laufende Umrechnung</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>The task being converted and the number of tasks.</source>
        <translation>Die laufende Aufgabe und die Anzahl der Aufgaben.</translation>
    </message>
    <message>
        <source>Program completed.</source>
        <translation>Vorgang abgeschlossen.</translation>
    </message>
    <message>
        <source>Errors were found. - Program couldn&apos;t be started.</source>
        <translation>Es wurden Fehler gefunden. – Die Umrechnung wurde nicht gestartet.</translation>
    </message>
    <message>
        <source>Converting:</source>
        <translation>Wird umgerechnet:</translation>
    </message>
</context>
<context>
    <name>frmInfo</name>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Picture: a globe with an arrow from one grid to another</source>
        <translation>Bild: ein Globus mit einem Pfeil von einem Gitter zum anderen</translation>
    </message>
    <message>
        <source>User&apos;s guide in German</source>
        <translation>Benutzerhandbuch auf Deutsch</translation>
    </message>
    <message>
        <source>Opens the user&apos;s guide in German in the browser.</source>
        <translation>Öffnet das deutsche Benutzerhandbuch im Browser.</translation>
    </message>
    <message>
        <source>User&apos;s guide in Italian</source>
        <translation>Benutzerhandbuch auf Italienisch</translation>
    </message>
    <message>
        <source>Opens the user&apos;s guide in Italian in the browser.</source>
        <translation>Öffnet das italienische Benutzerhandbuch im Browser.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>frmMain</name>
    <message>
        <source>Tool bar</source>
        <translation>Symbolleiste</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Reads the folder tree and the file list again.</source>
        <translation>Liest den Ordnerbaum und die Dateiliste neu ein.</translation>
    </message>
    <message>
        <source>Toolbox</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Sets the output folder, the file name suffix and the language.</source>
        <translation>Legt den Ausgabeordner, den Namenszusatz und die Sprache fest.</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Checks every task of the task list and converts them.</source>
        <translation>Prüft alle Aufgaben der Aufgabenliste und rechnet sie um.</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Shows who made KavroDesk and opens the user&apos;s guides.</source>
        <translation>Zeigt, wer KavroDesk erstellt hat, und öffnet die Benutzerhandbücher.</translation>
    </message>
    <message>
        <source>Splitter between the files and the tasks</source>
        <translation>Teiler zwischen Dateien und Aufgaben</translation>
    </message>
    <message>
        <source>Splitter between the folders and the files</source>
        <translation>Teiler zwischen Ordnern und Dateien</translation>
    </message>
    <message>
        <source>Folder tree</source>
        <translation>Ordnerbaum</translation>
    </message>
    <message>
        <source>The folders of this computer. The file list shows the shapefiles, GeoPackages and point lists of the selected folder.</source>
        <translation>Die Ordner dieses Rechners. Die Dateiliste zeigt die Shapefiles, GeoPackages und Punktlisten des gewählten Ordners.</translation>
    </message>
    <message>
        <source>File list</source>
        <translation>Dateiliste</translation>
    </message>
    <message>
        <source>The shapefiles, GeoPackages and point lists of the selected folder. Enter adds the selected file to the task list; the menu key or Shift+F10 opens the menu with Add and Add All.</source>
        <translation>Die Shapefiles, GeoPackages und Punktlisten des gewählten Ordners. Die Eingabetaste fügt die gewählte Datei der Aufgabenliste hinzu; die Menütaste oder Umschalt+F10 öffnet das Menü mit „Hinzufügen“ und „Alle hinzufügen“.</translation>
    </message>
    <message>
        <source>Task list</source>
        <translation>Aufgabenliste</translation>
    </message>
    <message>
        <source>The files to convert. Enter changes the output file of the selected task and Delete removes it; the menu key or Shift+F10 opens the menu.</source>
        <translation>Die umzurechnenden Dateien. Die Eingabetaste ändert die Ausgabedatei der gewählten Aufgabe, die Entf-Taste entfernt sie; die Menütaste oder Umschalt+F10 öffnet das Menü.</translation>
    </message>
    <message>
        <source>Status bar</source>
        <translation>Statuszeile</translation>
    </message>
    <message>
        <source>Datum transformation</source>
        <translation>Datumsübergang</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Hinzufügen</translation>
    </message>
    <message>
        <source>Add A&amp;ll</source>
        <translation>&amp;Alle hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Modify</source>
        <translation>Ä&amp;ndern</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Delete &amp;All</source>
        <translation>&amp;Alle löschen</translation>
    </message>
    <message>
        <source>Invalid property value: the window state %1 is none of 0, 1 and 2</source>
        <translation>Ungültiger Eigenschaftswert: Der Fensterzustand %1 ist weder 0 noch 1 noch 2</translation>
    </message>
</context>
<context>
    <name>frmTaskListModify</name>
    <message>
        <source>The folder %1 does not exist.
Check the path and try again.</source>
        <translation>Der Ordner %1 existiert nicht.
Bitte den Pfad prüfen und noch einmal versuchen.</translation>
    </message>
    <message>
        <source>The file %1 does not exist.
Do you want to create it?</source>
        <translation>Die Datei %1 existiert nicht.
Soll sie erstellt werden?</translation>
    </message>
    <message>
        <source>Modify</source>
        <translation>Ändern</translation>
    </message>
    <message>
        <source>Input file (Gauss-Boaga)</source>
        <translation>Eingabedatei (Gauss-Boaga)</translation>
    </message>
    <message>
        <source>The file to convert; it cannot be changed here.</source>
        <translation>Die umzurechnende Datei; sie kann hier nicht geändert werden.</translation>
    </message>
    <message>
        <source>&amp;Outputfile (UTM WGS84-ETRS89):</source>
        <translation>&amp;Ausgabedatei (UTM WGS84-ETRS89):</translation>
    </message>
    <message>
        <source>Output file (UTM WGS84-ETRS89)</source>
        <translation>Ausgabedatei (UTM WGS84-ETRS89)</translation>
    </message>
    <message>
        <source>The file to write, of the input&apos;s kind; it is checked when the run starts.</source>
        <translation>Die zu schreibende Datei, von der Art der Eingabe; sie wird beim Start geprüft.</translation>
    </message>
    <message>
        <source>&amp;Browse ...</source>
        <translation>&amp;Durchsuchen ...</translation>
    </message>
    <message>
        <source>Chooses the output file in a file dialog.</source>
        <translation>Wählt die Ausgabedatei in einem Dateidialog.</translation>
    </message>
    <message>
        <source>Closes the dialog and keeps the task as it was.</source>
        <translation>Schließt den Dialog und lässt die Aufgabe unverändert.</translation>
    </message>
    <message>
        <source>Takes the output file.</source>
        <translation>Übernimmt die Ausgabedatei.</translation>
    </message>
    <message>
        <source>Status bar</source>
        <translation>Statuszeile</translation>
    </message>
    <message>
        <source>OutputFile ...</source>
        <translation>Ausgabedatei ...</translation>
    </message>
    <message>
        <source>Alle Dateien (*.*)</source>
        <extracomment>The filter of every file, in the file dialog of Browse.</extracomment>
        <translation>Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>Textdateien (*.shp)</source>
        <extracomment>The shapefile filter (the design calls them text files).</extracomment>
        <translation>Shapefiles (*.shp)</translation>
    </message>
    <message>
        <source>Inputfile (Gauss-Boaga):</source>
        <translation>Eingabedatei (Gauss-Boaga):</translation>
    </message>
    <message>
        <source>GeoPackages (*.gpkg)</source>
        <translation>GeoPackages (*.gpkg)</translation>
    </message>
    <message>
        <source>Point lists (*.csv)</source>
        <translation>Punktlisten (*.csv)</translation>
    </message>
</context>
<context>
    <name>frmToolbox</name>
    <message>
        <source>Toolbox</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>&amp;Outputfolder:</source>
        <translation>&amp;Ausgabeordner:</translation>
    </message>
    <message>
        <source>Output folder</source>
        <translation>Ausgabeordner</translation>
    </message>
    <message>
        <source>The folder for the converted files; empty: beside each input file.</source>
        <translation>Der Ordner für die umgerechneten Dateien; leer: neben der jeweiligen Eingabedatei.</translation>
    </message>
    <message>
        <source>&amp;Browse ...</source>
        <translation>&amp;Durchsuchen ...</translation>
    </message>
    <message>
        <source>Chooses the output folder in a folder dialog.</source>
        <translation>Wählt den Ausgabeordner in einem Ordnerdialog.</translation>
    </message>
    <message>
        <source>&amp;Filesuffix:</source>
        <translation>&amp;Namenszusatz:</translation>
    </message>
    <message>
        <source>File name suffix</source>
        <translation>Namenszusatz</translation>
    </message>
    <message>
        <source>The text added to the name of each output file; empty: the name stays.</source>
        <translation>Der Text, der an den Namen jeder Ausgabedatei angehängt wird; leer: der Name bleibt.</translation>
    </message>
    <message>
        <source>&amp;Language:</source>
        <translation>S&amp;prache:</translation>
    </message>
    <message>
        <source>System language</source>
        <translation>Sprache des Systems</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>The language of KavroDesk.</source>
        <translation>Die Sprache von KavroDesk.</translation>
    </message>
    <message>
        <source>A new language takes effect when KavroDesk starts again.</source>
        <translation>Die neue Sprache gilt ab dem nächsten Start von KavroDesk.</translation>
    </message>
    <message>
        <source>Closes the dialog and keeps the settings as they were.</source>
        <translation>Schließt den Dialog und lässt die Einstellungen unverändert.</translation>
    </message>
    <message>
        <source>Takes the output folder, the suffix and the language.</source>
        <translation>Übernimmt den Ausgabeordner, den Namenszusatz und die Sprache.</translation>
    </message>
    <message>
        <source>Datum transformation</source>
        <translation>Datumsübergang</translation>
    </message>
    <message>
        <source>Status bar</source>
        <translation>Statuszeile</translation>
    </message>
    <message>
        <source>Invalid value in Outputfolder!</source>
        <translation>Ungültiger Ausgabeordner!</translation>
    </message>
    <message>
        <source>Output Folder</source>
        <translation>Ausgabeordner</translation>
    </message>
    <message>
        <source>Select Output Folder</source>
        <translation>Ausgabeordner wählen</translation>
    </message>
</context>
<context>
    <name>modFileNames</name>
    <message numerus="yes">
        <source>%1 and %n more</source>
        <translation>
            <numerusform>%1 und %n weitere</numerusform>
            <numerusform>%1 und %n weitere</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>modInstance</name>
    <message>
        <source>KavroDesk is already running for this user. Only one KavroDesk can run at a time: switch to the window that is open, or close it first.</source>
        <translation>KavroDesk läuft für diesen Benutzer bereits. Es kann nur ein KavroDesk zugleich laufen: Bitte zum offenen Fenster wechseln oder es zuerst schließen.</translation>
    </message>
    <message>
        <source>Cannot create the lock file %1: %2</source>
        <translation>Die Sperrdatei %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>Cannot lock %1: %2</source>
        <translation>%1 kann nicht gesperrt werden: %2</translation>
    </message>
</context>
<context>
    <name>modKAVRO</name>
    <message>
        <source>The path %1 holds a double quote or a line break and cannot be written into a batch file</source>
        <translation>Der Pfad %1 enthält ein Anführungszeichen oder einen Zeilenumbruch und kann nicht in eine Batchdatei geschrieben werden</translation>
    </message>
    <message>
        <source>Cannot remove the old file %1: %2</source>
        <translation>Die alte Datei %1 kann nicht entfernt werden: %2</translation>
    </message>
    <message>
        <source>Cannot create the file %1: %2</source>
        <translation>Die Datei %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>boxcheck gave no extent</source>
        <translation>boxcheck hat keine Ausdehnung geliefert</translation>
    </message>
    <message>
        <source>no extent: %1</source>
        <translation>keine Ausdehnung: %1</translation>
    </message>
    <message>
        <source>extent outside the shortened Gauss-Boaga form</source>
        <translation>Ausdehnung außerhalb der verkürzten Gauss-Boaga-Form</translation>
    </message>
    <message>
        <source>extent outside Gauss-Boaga West</source>
        <translation>Ausdehnung außerhalb von Gauss-Boaga West</translation>
    </message>
    <message>
        <source>extent outside UTM zone 32</source>
        <translation>Ausdehnung außerhalb von UTM Zone 32</translation>
    </message>
    <message>
        <source>no extent could be read</source>
        <translation>keine Ausdehnung lesbar</translation>
    </message>
    <message>
        <source>the extent&apos;s maxima are not known</source>
        <translation>die Höchstwerte der Ausdehnung sind unbekannt</translation>
    </message>
    <message>
        <source>Error creating File %1</source>
        <translation>Fehler beim Erstellen der Datei %1</translation>
    </message>
    <message>
        <source>unknown category</source>
        <translation>unbekannte Kategorie</translation>
    </message>
</context>
<context>
    <name>modTempFolder</name>
    <message>
        <source>Cannot create the temporary folder %1: %2</source>
        <translation>Der temporäre Ordner %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>The temporary folder %1 is not a folder of this user&apos;s own; remove it or set TEMP</source>
        <translation>Der temporäre Ordner %1 gehört nicht diesem Benutzer; bitte den Ordner entfernen oder TEMP setzen</translation>
    </message>
    <message>
        <source>Cannot close the temporary folder %1 to other users: %2</source>
        <translation>Der temporäre Ordner %1 kann nicht für andere Benutzer gesperrt werden: %2</translation>
    </message>
</context>
<context>
    <name>modTransformation</name>
    <message>
        <source>Datum: national grid EPSG:9734, 0.1 m → RDN2008 / UTM 32N</source>
        <translation>Datumsübergang: nationales Gitter EPSG:9734, 0,1 m → RDN2008 / UTM 32N</translation>
    </message>
    <message>
        <source>Datum: national grid unreadable, conversions refused</source>
        <translation>Datumsübergang: nationales Gitter nicht lesbar, keine Umrechnung möglich</translation>
    </message>
    <message>
        <source>Datum: EPSG:1659, 4 m → ETRS89 / UTM 32N</source>
        <translation>Datumsübergang: EPSG:1659, 4 m → ETRS89 / UTM 32N</translation>
    </message>
    <message>
        <source>Grid file: %1</source>
        <translation>Gitterdatei: %1</translation>
    </message>
    <message>
        <source>The national grid %1 is not installed.</source>
        <translation>Das nationale Gitter %1 ist nicht installiert.</translation>
    </message>
    <message>
        <source>The national grid cannot be used: %1.

No file is converted until the grid file is repaired or removed.</source>
        <translation>Das nationale Gitter kann nicht verwendet werden: %1.

Es wird keine Datei umgerechnet, bis die Gitterdatei repariert oder entfernt ist.</translation>
    </message>
</context>
<context>
    <name>modVarious</name>
    <message>
        <source>File not found: %1</source>
        <translation>Datei nicht gefunden: %1</translation>
    </message>
    <message>
        <source>The file name has no &quot;.&quot;: %1</source>
        <translation>Der Dateiname enthält keinen „.“: %1</translation>
    </message>
    <message>
        <source>Cannot delete %1: %2</source>
        <translation>%1 kann nicht gelöscht werden: %2</translation>
    </message>
    <message>
        <source>Path not found: %1</source>
        <translation>Pfad nicht gefunden: %1</translation>
    </message>
    <message>
        <source>Cannot copy onto the folder %1</source>
        <translation>Auf den Ordner %1 kann nicht kopiert werden</translation>
    </message>
    <message>
        <source>The file %1 is read-only</source>
        <translation>Die Datei %1 ist schreibgeschützt</translation>
    </message>
    <message>
        <source>Cannot replace the link %1: %2</source>
        <translation>Die Verknüpfung %1 kann nicht ersetzt werden: %2</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>modWin32API</name>
    <message>
        <source>it is a symbolic link</source>
        <translation>es ist eine symbolische Verknüpfung</translation>
    </message>
    <message>
        <source>it is not a plain file</source>
        <translation>es ist keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>Cannot open the batch file %1: %2</source>
        <translation>Die Batchdatei %1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>Cannot read the batch file %1: %2</source>
        <translation>Die Batchdatei %1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>The batch file %1 is too large</source>
        <translation>Die Batchdatei %1 ist zu groß</translation>
    </message>
    <message>
        <source>Cannot start %1: %2</source>
        <translation>%1 kann nicht gestartet werden: %2</translation>
    </message>
    <message>
        <source>No program to start</source>
        <translation>Kein Programm zum Starten</translation>
    </message>
    <message>
        <source>Cannot open /dev/null: %1</source>
        <translation>/dev/null kann nicht geöffnet werden: %1</translation>
    </message>
    <message>
        <source>Cannot open the output file %1: %2</source>
        <translation>Die Ausgabedatei %1 kann nicht geöffnet werden: %2</translation>
    </message>
    <message>
        <source>%1 (line %2 of %3)</source>
        <translation>%1 (Zeile %2 von %3)</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>es ist ein Ordner</translation>
    </message>
</context>
</TS>
