<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="it" sourcelanguage="en">
<context>
    <name>BatchInterpreter</name>
    <message>
        <source>text after the output file</source>
        <translation>testo dopo il file d&apos;uscita</translation>
    </message>
    <message>
        <source>a second &quot;&gt;&gt;&quot;</source>
        <translation>un secondo «&gt;&gt;»</translation>
    </message>
    <message>
        <source>the character %1 outside double quotes</source>
        <translation>il carattere %1 fuori dalle virgolette</translation>
    </message>
    <message>
        <source>a double quote that is not closed</source>
        <translation>virgolette non chiuse</translation>
    </message>
    <message>
        <source>no file after &quot;&gt;&gt;&quot;</source>
        <translation>nessun file dopo «&gt;&gt;»</translation>
    </message>
    <message>
        <source>no program</source>
        <translation>nessun programma</translation>
    </message>
    <message>
        <source>a command this interpreter does not run</source>
        <translation>un comando che questo interprete non esegue</translation>
    </message>
    <message>
        <source>The batch ran more than %1 lines and was stopped</source>
        <translation>Il file batch ha eseguito più di %1 righe ed è stato fermato</translation>
    </message>
    <message>
        <source>The batch line &quot;%1&quot; is not understood</source>
        <translation>La riga batch «%1» non è comprensibile</translation>
    </message>
    <message>
        <source>The batch label &quot;%1&quot; is not found</source>
        <translation>L&apos;etichetta batch «%1» non è stata trovata</translation>
    </message>
    <message>
        <source>The batch line &quot;%1&quot; is not understood (%2)</source>
        <translation>La riga batch «%1» non è comprensibile (%2)</translation>
    </message>
</context>
<context>
    <name>BrowseFFDialog</name>
    <message>
        <source>Folders</source>
        <translation>Cartelle</translation>
    </message>
    <message>
        <source>Chosen folder</source>
        <translation>Cartella scelta</translation>
    </message>
</context>
<context>
    <name>DeskMessages</name>
    <message>
        <source>Unexpected failure</source>
        <translation>Errore imprevisto</translation>
    </message>
</context>
<context>
    <name>ExitOkButtons</name>
    <message>
        <source>Exit</source>
        <translation>Annulla</translation>
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
        <translation>Fare clic con il tasto destro del mouse</translation>
    </message>
</context>
<context>
    <name>ListViewRows</name>
    <message>
        <source>The row key &quot;%1&quot; holds no ID.</source>
        <translation>La chiave di riga «%1» non contiene un ID.</translation>
    </message>
    <message>
        <source>No row of the list is selected.</source>
        <translation>Nessuna riga della lista è selezionata.</translation>
    </message>
    <message>
        <source>The stored width %1 of column %2 is not usable.</source>
        <translation>La larghezza %1 memorizzata per la colonna %2 non è utilizzabile.</translation>
    </message>
</context>
<context>
    <name>RecordSet</name>
    <message>
        <source>The table has no field &quot;%1&quot;.</source>
        <translation>La tabella non ha il campo «%1».</translation>
    </message>
    <message>
        <source>The cursor already stands past the last record.</source>
        <translation>Il cursore si trova già oltre l&apos;ultimo record.</translation>
    </message>
    <message>
        <source>There is no current record: the cursor stands past the last one.</source>
        <translation>Non c&apos;è un record corrente: il cursore si trova oltre l&apos;ultimo.</translation>
    </message>
    <message>
        <source>The value &quot;%1&quot; does not fit the whole number field &quot;%2&quot;.</source>
        <translation>Il valore «%1» non è adatto al campo intero «%2».</translation>
    </message>
    <message>
        <source>The text for the field &quot;%1&quot; is %2 bytes long; the field holds at most %3.</source>
        <translation>Il testo per il campo «%1» è lungo %2 byte; il campo ne contiene al massimo %3.</translation>
    </message>
    <message>
        <source>The value &quot;%1&quot; is not a number for the field &quot;%2&quot;.</source>
        <translation>Il valore «%1» non è un numero per il campo «%2».</translation>
    </message>
    <message>
        <source>The value &quot;%1&quot; is not a date for the field &quot;%2&quot;.</source>
        <translation>Il valore «%1» non è una data per il campo «%2».</translation>
    </message>
</context>
<context>
    <name>adoFileList</name>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>%1 file</source>
        <translation>File %1</translation>
    </message>
    <message>
        <source>The file list has no free ID left.</source>
        <translation>La lista dei file non ha più ID liberi.</translation>
    </message>
    <message>
        <source>The file list holds no file with the ID %1.</source>
        <translation>La lista dei file non contiene alcun file con ID %1.</translation>
    </message>
    <message>
        <source>Cannot list the folder %1: %2</source>
        <translation>Impossibile leggere la cartella %1: %2</translation>
    </message>
    <message>
        <source>Listing %1: %2 of %3 shapefiles ...</source>
        <translation>Lettura di %1: %2 di %3 shapefile ...</translation>
    </message>
    <message>
        <source>The file %1 was not found.</source>
        <translation>Il file %1 non è stato trovato.</translation>
    </message>
    <message>
        <source>cannot be read: %1</source>
        <translation>non leggibile: %1</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>non è un file normale</translation>
    </message>
    <message>
        <source>the path holds a double quote or a line break, which cannot be passed to KAVRO</source>
        <translation>il percorso contiene virgolette o un a capo, che non si possono passare a KAVRO</translation>
    </message>
    <message>
        <source>Cannot be converted, the path holds a double quote or a line break: %1</source>
        <translation>Non convertibili, il percorso contiene virgolette o un a capo: %1</translation>
    </message>
    <message>
        <source>Cannot be read: %1</source>
        <translation>Non leggibili: %1</translation>
    </message>
    <message>
        <source>Not shown in the folder tree, the name is not UTF-8: %1</source>
        <translation>Non mostrate nell&apos;albero delle cartelle, il nome non è UTF-8: %1</translation>
    </message>
    <message>
        <source>Not listed, left by an interrupted conversion: %1</source>
        <translation>Non elencati, resti di una conversione interrotta: %1</translation>
    </message>
    <message>
        <source>The file %1 cannot be listed.</source>
        <translation>Il file %1 non può essere elencato.</translation>
    </message>
    <message>
        <source>GeoPackage</source>
        <translation>GeoPackage</translation>
    </message>
    <message>
        <source>Point list (CSV)</source>
        <translation>Elenco di punti (CSV)</translation>
    </message>
    <message>
        <source>Listing %1: %2 of %3 files ...</source>
        <translation>Lettura di %1: %2 di %3 file ...</translation>
    </message>
</context>
<context>
    <name>adoTaskList</name>
    <message>
        <source>The task list has no free ID left.</source>
        <translation>La lista dei lavori non ha più ID liberi.</translation>
    </message>
    <message>
        <source>The task list holds no task with the ID %1.</source>
        <translation>La lista dei lavori non contiene alcun lavoro con ID %1.</translation>
    </message>
    <message>
        <source>The task for %1 cannot be added.</source>
        <translation>Il lavoro per %1 non può essere aggiunto.</translation>
    </message>
    <message>
        <source>The task %1 cannot be changed.</source>
        <translation>Il lavoro %1 non può essere modificato.</translation>
    </message>
</context>
<context>
    <name>clsCommandStart</name>
    <message>
        <source>Click with right Mouse Button on File List and add Data</source>
        <translation>Fare clic con il tasto destro del mouse sulla lista dei file e aggiungere i dati.</translation>
    </message>
</context>
<context>
    <name>clsContextMenuFileList</name>
    <message>
        <source>Not added: %1</source>
        <translation>Non aggiunti: %1</translation>
    </message>
</context>
<context>
    <name>clsControlFileList</name>
    <message>
        <source>Name</source>
        <translation>Nome</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Dimensione</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Tipo</translation>
    </message>
    <message>
        <source>Last Modified</source>
        <translation>Ultima modifica</translation>
    </message>
</context>
<context>
    <name>clsControlTaskList</name>
    <message>
        <source>Inputfile (Gauss-Boaga)</source>
        <translation>File d&apos;ingresso (Gauss-Boaga)</translation>
    </message>
    <message>
        <source>Outputfile (UTM WGS84-ETRS89)</source>
        <translation>File d&apos;uscita (UTM WGS84-ETRS89)</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Esito</translation>
    </message>
    <message>
        <source>Output-Directory does not exist</source>
        <translation>La cartella d&apos;uscita non esiste</translation>
    </message>
    <message>
        <source>Output-SHP already exists</source>
        <translation>Lo SHP d&apos;uscita esiste già</translation>
    </message>
    <message>
        <source>Error File-Extension</source>
        <translation>Estensione del file errata</translation>
    </message>
    <message>
        <source>Output-Files .sbn/.sbx already exist</source>
        <translation>Indice .sbn/.sbx già presente</translation>
    </message>
    <message>
        <source>Output-Name holds a double quote or a line break</source>
        <translation>Il nome d&apos;uscita contiene virgolette o un a capo</translation>
    </message>
    <message>
        <source>Output-File already exists</source>
        <translation>Il file d&apos;uscita esiste già</translation>
    </message>
</context>
<context>
    <name>clsUserSettings</name>
    <message>
        <source>The setting &quot;%1&quot; could not be written to %2</source>
        <translation>Non è stato possibile scrivere l&apos;impostazione «%1» in %2</translation>
    </message>
    <message>
        <source>Type mismatch: the setting &quot;%1&quot; holds &quot;%2&quot;, which is not a number</source>
        <translation>Tipo non corrispondente: l&apos;impostazione «%1» contiene «%2», che non è un numero</translation>
    </message>
    <message>
        <source>Overflow: the setting &quot;%1&quot; holds %2, which is too large</source>
        <translation>Valore fuori intervallo: l&apos;impostazione «%1» contiene %2, un valore troppo grande</translation>
    </message>
</context>
<context>
    <name>frmCommandStart</name>
    <message>
        <source>Please wait ...</source>
        <translation>Attendere prego ...</translation>
    </message>
    <message>
        <source>Files being converted</source>
        <translation>Conversione in corso</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Avanzamento</translation>
    </message>
    <message>
        <source>The task being converted and the number of tasks.</source>
        <translation>Il lavoro in corso e il numero dei lavori.</translation>
    </message>
    <message>
        <source>Program completed.</source>
        <translation>Elaborazione completata.</translation>
    </message>
    <message>
        <source>Errors were found. - Program couldn&apos;t be started.</source>
        <translation>Sono stati rilevati errori. – La conversione non è stata avviata.</translation>
    </message>
    <message>
        <source>Converting:</source>
        <translation>Conversione di:</translation>
    </message>
</context>
<context>
    <name>frmInfo</name>
    <message>
        <source>Info</source>
        <translation>Informazioni</translation>
    </message>
    <message>
        <source>Picture: a globe with an arrow from one grid to another</source>
        <translation>Immagine: un globo con una freccia da un reticolo all&apos;altro</translation>
    </message>
    <message>
        <source>User&apos;s guide in German</source>
        <translation>Guida per l&apos;utente in tedesco</translation>
    </message>
    <message>
        <source>Opens the user&apos;s guide in German in the browser.</source>
        <translation>Apre la guida per l&apos;utente in tedesco nel browser.</translation>
    </message>
    <message>
        <source>User&apos;s guide in Italian</source>
        <translation>Guida per l&apos;utente in italiano</translation>
    </message>
    <message>
        <source>Opens the user&apos;s guide in Italian in the browser.</source>
        <translation>Apre la guida per l&apos;utente in italiano nel browser.</translation>
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
        <translation>Barra degli strumenti</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aggiorna</translation>
    </message>
    <message>
        <source>Reads the folder tree and the file list again.</source>
        <translation>Rilegge l&apos;albero delle cartelle e la lista dei file.</translation>
    </message>
    <message>
        <source>Toolbox</source>
        <translation>Impostazioni</translation>
    </message>
    <message>
        <source>Sets the output folder, the file name suffix and the language.</source>
        <translation>Imposta la cartella d&apos;uscita, il suffisso del nome e la lingua.</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Avvia</translation>
    </message>
    <message>
        <source>Checks every task of the task list and converts them.</source>
        <translation>Controlla tutti i lavori della lista e li converte.</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Informazioni</translation>
    </message>
    <message>
        <source>Shows who made KavroDesk and opens the user&apos;s guides.</source>
        <translation>Mostra chi ha realizzato KavroDesk e apre le guide per l&apos;utente.</translation>
    </message>
    <message>
        <source>Splitter between the files and the tasks</source>
        <translation>Divisore tra file e lavori</translation>
    </message>
    <message>
        <source>Splitter between the folders and the files</source>
        <translation>Divisore tra cartelle e file</translation>
    </message>
    <message>
        <source>Folder tree</source>
        <translation>Albero delle cartelle</translation>
    </message>
    <message>
        <source>The folders of this computer. The file list shows the shapefiles, GeoPackages and point lists of the selected folder.</source>
        <translation>Le cartelle di questo computer. La lista dei file mostra gli shapefile, i GeoPackage e gli elenchi di punti della cartella scelta.</translation>
    </message>
    <message>
        <source>File list</source>
        <translation>Lista dei file</translation>
    </message>
    <message>
        <source>The shapefiles, GeoPackages and point lists of the selected folder. Enter adds the selected file to the task list; the menu key or Shift+F10 opens the menu with Add and Add All.</source>
        <translation>Gli shapefile, i GeoPackage e gli elenchi di punti della cartella scelta. Il tasto Invio aggiunge il file selezionato alla lista dei lavori; il tasto menu o Maiusc+F10 apre il menu con «Aggiungi» e «Aggiungi tutti».</translation>
    </message>
    <message>
        <source>Task list</source>
        <translation>Lista dei lavori</translation>
    </message>
    <message>
        <source>The files to convert. Enter changes the output file of the selected task and Delete removes it; the menu key or Shift+F10 opens the menu.</source>
        <translation>I file da convertire. Il tasto Invio modifica il file d&apos;uscita del lavoro selezionato e il tasto Canc lo elimina; il tasto menu o Maiusc+F10 apre il menu.</translation>
    </message>
    <message>
        <source>Status bar</source>
        <translation>Barra di stato</translation>
    </message>
    <message>
        <source>Datum transformation</source>
        <translation>Trasformazione del datum</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Aggiungi</translation>
    </message>
    <message>
        <source>Add A&amp;ll</source>
        <translation>Aggiungi &amp;tutti</translation>
    </message>
    <message>
        <source>&amp;Modify</source>
        <translation>&amp;Modifica</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Elimina</translation>
    </message>
    <message>
        <source>Delete &amp;All</source>
        <translation>Elimina &amp;tutti</translation>
    </message>
    <message>
        <source>Invalid property value: the window state %1 is none of 0, 1 and 2</source>
        <translation>Valore di proprietà non valido: lo stato della finestra %1 non è né 0, né 1, né 2</translation>
    </message>
</context>
<context>
    <name>frmTaskListModify</name>
    <message>
        <source>The folder %1 does not exist.
Check the path and try again.</source>
        <translation>La cartella %1 non esiste.
Controllare il percorso e riprovare.</translation>
    </message>
    <message>
        <source>The file %1 does not exist.
Do you want to create it?</source>
        <translation>Il file %1 non esiste.
Crearlo?</translation>
    </message>
    <message>
        <source>Modify</source>
        <translation>Modifica</translation>
    </message>
    <message>
        <source>Input file (Gauss-Boaga)</source>
        <translation>File d&apos;ingresso (Gauss-Boaga)</translation>
    </message>
    <message>
        <source>The file to convert; it cannot be changed here.</source>
        <translation>Il file da convertire; qui non si può modificare.</translation>
    </message>
    <message>
        <source>&amp;Outputfile (UTM WGS84-ETRS89):</source>
        <translation>File d&apos;&amp;uscita (UTM WGS84-ETRS89):</translation>
    </message>
    <message>
        <source>Output file (UTM WGS84-ETRS89)</source>
        <translation>File d&apos;uscita (UTM WGS84-ETRS89)</translation>
    </message>
    <message>
        <source>The file to write, of the input&apos;s kind; it is checked when the run starts.</source>
        <translation>Il file da scrivere, dello stesso tipo dell&apos;ingresso; viene controllato all&apos;avvio.</translation>
    </message>
    <message>
        <source>&amp;Browse ...</source>
        <translation>&amp;Sfoglia ...</translation>
    </message>
    <message>
        <source>Chooses the output file in a file dialog.</source>
        <translation>Sceglie il file d&apos;uscita in una finestra di dialogo.</translation>
    </message>
    <message>
        <source>Closes the dialog and keeps the task as it was.</source>
        <translation>Chiude la finestra e lascia il lavoro invariato.</translation>
    </message>
    <message>
        <source>Takes the output file.</source>
        <translation>Conferma il file d&apos;uscita.</translation>
    </message>
    <message>
        <source>Status bar</source>
        <translation>Barra di stato</translation>
    </message>
    <message>
        <source>OutputFile ...</source>
        <translation>File d&apos;uscita ...</translation>
    </message>
    <message>
        <source>Alle Dateien (*.*)</source>
        <extracomment>The filter of every file, in the file dialog of Browse.</extracomment>
        <translation>Tutti i file (*.*)</translation>
    </message>
    <message>
        <source>Textdateien (*.shp)</source>
        <extracomment>The shapefile filter (the design calls them text files).</extracomment>
        <translation>Shapefile (*.shp)</translation>
    </message>
    <message>
        <source>Inputfile (Gauss-Boaga):</source>
        <translation>File d&apos;ingresso (Gauss-Boaga):</translation>
    </message>
    <message>
        <source>GeoPackages (*.gpkg)</source>
        <translation>GeoPackage (*.gpkg)</translation>
    </message>
    <message>
        <source>Point lists (*.csv)</source>
        <translation>Elenchi di punti (*.csv)</translation>
    </message>
</context>
<context>
    <name>frmToolbox</name>
    <message>
        <source>Toolbox</source>
        <translation>Impostazioni</translation>
    </message>
    <message>
        <source>&amp;Outputfolder:</source>
        <translation>&amp;Cartella d&apos;uscita:</translation>
    </message>
    <message>
        <source>Output folder</source>
        <translation>Cartella d&apos;uscita</translation>
    </message>
    <message>
        <source>The folder for the converted files; empty: beside each input file.</source>
        <translation>La cartella per i file convertiti; vuota: accanto a ogni file d&apos;ingresso.</translation>
    </message>
    <message>
        <source>&amp;Browse ...</source>
        <translation>S&amp;foglia ...</translation>
    </message>
    <message>
        <source>Chooses the output folder in a folder dialog.</source>
        <translation>Sceglie la cartella d&apos;uscita in una finestra di dialogo.</translation>
    </message>
    <message>
        <source>&amp;Filesuffix:</source>
        <translation>&amp;Suffisso del nome:</translation>
    </message>
    <message>
        <source>File name suffix</source>
        <translation>Suffisso del nome</translation>
    </message>
    <message>
        <source>The text added to the name of each output file; empty: the name stays.</source>
        <translation>Il testo aggiunto al nome di ogni file d&apos;uscita; vuoto: il nome resta invariato.</translation>
    </message>
    <message>
        <source>&amp;Language:</source>
        <translation>&amp;Lingua:</translation>
    </message>
    <message>
        <source>System language</source>
        <translation>Lingua del sistema</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Lingua</translation>
    </message>
    <message>
        <source>The language of KavroDesk.</source>
        <translation>La lingua di KavroDesk.</translation>
    </message>
    <message>
        <source>A new language takes effect when KavroDesk starts again.</source>
        <translation>La nuova lingua sarà attiva dal prossimo avvio di KavroDesk.</translation>
    </message>
    <message>
        <source>Closes the dialog and keeps the settings as they were.</source>
        <translation>Chiude la finestra e lascia le impostazioni invariate.</translation>
    </message>
    <message>
        <source>Takes the output folder, the suffix and the language.</source>
        <translation>Conferma la cartella d&apos;uscita, il suffisso e la lingua.</translation>
    </message>
    <message>
        <source>Datum transformation</source>
        <translation>Trasformazione del datum</translation>
    </message>
    <message>
        <source>Status bar</source>
        <translation>Barra di stato</translation>
    </message>
    <message>
        <source>Invalid value in Outputfolder!</source>
        <translation>Cartella d&apos;uscita non valida!</translation>
    </message>
    <message>
        <source>Output Folder</source>
        <translation>Cartella d&apos;uscita</translation>
    </message>
    <message>
        <source>Select Output Folder</source>
        <translation>Scegliere la cartella d&apos;uscita</translation>
    </message>
</context>
<context>
    <name>modFileNames</name>
    <message numerus="yes">
        <source>%1 and %n more</source>
        <translation>
            <numerusform>%1 e %n altro</numerusform>
            <numerusform>%1 e altri %n</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>modInstance</name>
    <message>
        <source>KavroDesk is already running for this user. Only one KavroDesk can run at a time: switch to the window that is open, or close it first.</source>
        <translation>KavroDesk è già in esecuzione per questo utente. Può essere in esecuzione un solo KavroDesk alla volta: passare alla finestra aperta oppure chiuderla prima.</translation>
    </message>
    <message>
        <source>Cannot create the lock file %1: %2</source>
        <translation>Impossibile creare il file di blocco %1: %2</translation>
    </message>
    <message>
        <source>Cannot lock %1: %2</source>
        <translation>Impossibile bloccare %1: %2</translation>
    </message>
</context>
<context>
    <name>modKAVRO</name>
    <message>
        <source>The path %1 holds a double quote or a line break and cannot be written into a batch file</source>
        <translation>Il percorso %1 contiene virgolette o un a capo e non può essere scritto in un file batch</translation>
    </message>
    <message>
        <source>Cannot remove the old file %1: %2</source>
        <translation>Impossibile rimuovere il vecchio file %1: %2</translation>
    </message>
    <message>
        <source>Cannot create the file %1: %2</source>
        <translation>Impossibile creare il file %1: %2</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>Impossibile leggere %1: %2</translation>
    </message>
    <message>
        <source>boxcheck gave no extent</source>
        <translation>boxcheck non ha fornito l&apos;estensione</translation>
    </message>
    <message>
        <source>no extent: %1</source>
        <translation>nessuna estensione: %1</translation>
    </message>
    <message>
        <source>extent outside the shortened Gauss-Boaga form</source>
        <translation>estensione fuori dalla forma abbreviata Gauss-Boaga</translation>
    </message>
    <message>
        <source>extent outside Gauss-Boaga West</source>
        <translation>estensione fuori da Gauss-Boaga Ovest</translation>
    </message>
    <message>
        <source>extent outside UTM zone 32</source>
        <translation>estensione fuori dal fuso UTM 32</translation>
    </message>
    <message>
        <source>no extent could be read</source>
        <translation>nessuna estensione leggibile</translation>
    </message>
    <message>
        <source>the extent&apos;s maxima are not known</source>
        <translation>i valori massimi dell&apos;estensione non sono noti</translation>
    </message>
    <message>
        <source>Error creating File %1</source>
        <translation>Errore nella creazione del file %1</translation>
    </message>
    <message>
        <source>unknown category</source>
        <translation>categoria sconosciuta</translation>
    </message>
</context>
<context>
    <name>modTempFolder</name>
    <message>
        <source>Cannot create the temporary folder %1: %2</source>
        <translation>Impossibile creare la cartella temporanea %1: %2</translation>
    </message>
    <message>
        <source>The temporary folder %1 is not a folder of this user&apos;s own; remove it or set TEMP</source>
        <translation>La cartella temporanea %1 non appartiene a questo utente; rimuoverla o impostare TEMP</translation>
    </message>
    <message>
        <source>Cannot close the temporary folder %1 to other users: %2</source>
        <translation>Impossibile chiudere la cartella temporanea %1 agli altri utenti: %2</translation>
    </message>
</context>
<context>
    <name>modTransformation</name>
    <message>
        <source>Datum: national grid EPSG:9734, 0.1 m → RDN2008 / UTM 32N</source>
        <translation>Trasformazione: grigliato nazionale EPSG:9734, 0,1 m → RDN2008 / UTM 32N</translation>
    </message>
    <message>
        <source>Datum: national grid unreadable, conversions refused</source>
        <translation>Trasformazione: grigliato nazionale illeggibile, nessuna conversione possibile</translation>
    </message>
    <message>
        <source>Datum: EPSG:1659, 4 m → ETRS89 / UTM 32N</source>
        <translation>Trasformazione: EPSG:1659, 4 m → ETRS89 / UTM 32N</translation>
    </message>
    <message>
        <source>Grid file: %1</source>
        <translation>File del grigliato: %1</translation>
    </message>
    <message>
        <source>The national grid %1 is not installed.</source>
        <translation>Il grigliato nazionale %1 non è installato.</translation>
    </message>
    <message>
        <source>The national grid cannot be used: %1.

No file is converted until the grid file is repaired or removed.</source>
        <translation>Il grigliato nazionale non può essere usato: %1.

Nessun file viene convertito finché il file del grigliato non è riparato o rimosso.</translation>
    </message>
</context>
<context>
    <name>modVarious</name>
    <message>
        <source>File not found: %1</source>
        <translation>File non trovato: %1</translation>
    </message>
    <message>
        <source>The file name has no &quot;.&quot;: %1</source>
        <translation>Il nome del file non contiene «.»: %1</translation>
    </message>
    <message>
        <source>Cannot delete %1: %2</source>
        <translation>Impossibile eliminare %1: %2</translation>
    </message>
    <message>
        <source>Path not found: %1</source>
        <translation>Percorso non trovato: %1</translation>
    </message>
    <message>
        <source>Cannot copy onto the folder %1</source>
        <translation>Impossibile copiare sulla cartella %1</translation>
    </message>
    <message>
        <source>The file %1 is read-only</source>
        <translation>Il file %1 è di sola lettura</translation>
    </message>
    <message>
        <source>Cannot replace the link %1: %2</source>
        <translation>Impossibile sostituire il collegamento %1: %2</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>Impossibile leggere %1: %2</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Impossibile scrivere %1: %2</translation>
    </message>
</context>
<context>
    <name>modWin32API</name>
    <message>
        <source>it is a symbolic link</source>
        <translation>è un collegamento simbolico</translation>
    </message>
    <message>
        <source>it is not a plain file</source>
        <translation>non è un file normale</translation>
    </message>
    <message>
        <source>Cannot open the batch file %1: %2</source>
        <translation>Impossibile aprire il file batch %1: %2</translation>
    </message>
    <message>
        <source>Cannot read the batch file %1: %2</source>
        <translation>Impossibile leggere il file batch %1: %2</translation>
    </message>
    <message>
        <source>The batch file %1 is too large</source>
        <translation>Il file batch %1 è troppo grande</translation>
    </message>
    <message>
        <source>Cannot start %1: %2</source>
        <translation>Impossibile avviare %1: %2</translation>
    </message>
    <message>
        <source>No program to start</source>
        <translation>Nessun programma da avviare</translation>
    </message>
    <message>
        <source>Cannot open /dev/null: %1</source>
        <translation>Impossibile aprire /dev/null: %1</translation>
    </message>
    <message>
        <source>Cannot open the output file %1: %2</source>
        <translation>Impossibile aprire il file d&apos;uscita %1: %2</translation>
    </message>
    <message>
        <source>%1 (line %2 of %3)</source>
        <translation>%1 (riga %2 di %3)</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>è una cartella</translation>
    </message>
</context>
</TS>
