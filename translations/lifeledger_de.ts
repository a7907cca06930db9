<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>CommandGuard</name>
    <message>
        <source>There is not enough memory for this.</source>
        <translation>Dafür reicht der Arbeitsspeicher nicht.</translation>
    </message>
    <message>
        <source>Places searched:</source>
        <translation>Durchsuchte Orte:</translation>
    </message>
    <message>
        <source>Lifeledger - No Vivarion 2 Installation found</source>
        <translation>Lifeledger – keine Installation von Vivarion 2 gefunden</translation>
    </message>
    <message>
        <source>Warning, without Vivarion 2 installed, the Lifeledger is useless.</source>
        <translation>Achtung: Ohne installiertes Vivarion 2 ist Lifeledger nutzlos.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Read the game&apos;s registry from the Wine prefix DIR (instead of $WINEPREFIX, ~/.wine and the prefixes of the common launchers).</source>
        <translation>Die Registry des Spiels aus dem Wine-Präfix DIR lesen (statt aus $WINEPREFIX, ~/.wine und den Präfixen der gängigen Launcher).</translation>
    </message>
    <message>
        <source>Use DIR as the game&apos;s history folder; no registry is read. Goes with --genetics-dir.</source>
        <translation>DIR als Chronikordner des Spiels verwenden; es wird keine Registry gelesen. Gehört zu --genetics-dir.</translation>
    </message>
    <message>
        <source>Use DIR as the game&apos;s genetics folder; no registry is read. Goes with --history-dir.</source>
        <translation>DIR als Genetikordner des Spiels verwenden; es wird keine Registry gelesen. Gehört zu --history-dir.</translation>
    </message>
    <message>
        <source>Show this help and end.</source>
        <translation>Diese Hilfe zeigen und beenden.</translation>
    </message>
    <message>
        <source>Show the version and end.</source>
        <translation>Die Version zeigen und beenden.</translation>
    </message>
    <message>
        <source>Usage: %1 [options]</source>
        <translation>Aufruf: %1 [Optionen]</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>Optionen:</translation>
    </message>
    <message>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <translation>Unerwartetes Argument »%1«.</translation>
    </message>
    <message>
        <source>--%1 is given more than once.</source>
        <translation>--%1 ist mehr als einmal angegeben.</translation>
    </message>
    <message>
        <source>--history-dir and --genetics-dir go together: give both.</source>
        <translation>--history-dir und --genetics-dir gehören zusammen: Bitte beide angeben.</translation>
    </message>
    <message>
        <source>--prefix names a Wine prefix, --history-dir and --genetics-dir the game&apos;s folders themselves: give one or the other.</source>
        <translation>--prefix nennt ein Wine-Präfix, --history-dir und --genetics-dir die Ordner des Spiels selbst: Bitte nur das eine oder das andere angeben.</translation>
    </message>
    <message>
        <source>--%1: there is no folder &apos;%2&apos;.</source>
        <translation>--%1: Es gibt keinen Ordner »%2«.</translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos; for more.</source>
        <translation>»%1 --help« zeigt mehr.</translation>
    </message>
    <message>
        <source>Write the list of every creature as CSV into FILE, as File &gt; Export List does, without opening a window.</source>
        <translation>Die Liste aller Geschöpfe als CSV in die Datei FILE schreiben, wie Datei &gt; Liste exportieren, ohne ein Fenster zu öffnen.</translation>
    </message>
    <message>
        <source>Write the family book into the folder DIR (made when missing), as File &gt; Export Family Book does, without opening a window. Both exports may be asked for at once; progress is shown when the standard error is a terminal, and the exit status is 1 when an export could not be written.</source>
        <translation>Das Familienbuch in den Ordner DIR schreiben (er wird angelegt, wenn er fehlt), wie Datei &gt; Familienbuch exportieren, ohne ein Fenster zu öffnen. Beide Exporte können zugleich verlangt werden; der Fortschritt wird gezeigt, wenn die Standardfehlerausgabe ein Terminal ist, und der Rückgabewert ist 1, wenn ein Export nicht geschrieben werden konnte.</translation>
    </message>
    <message>
        <source>--%1 needs a place to write to.</source>
        <translation>--%1 braucht einen Ort, an den geschrieben wird.</translation>
    </message>
    <message>
        <source>Lifeledger lists every creature that ever lived in a Vivarion 2 world, edits a creature&apos;s name, owner data, epitaph and gravestone photo, deletes its files after a confirmation, and shows and saves the photos of its album.

It draws a creature&apos;s family tree (Ctrl+T), finds creatures by any of their texts (Ctrl+F), shows an album as a contact sheet (Ctrl+K), shows the world&apos;s statistics as charts and tables (Ctrl+I), and exports the list as CSV and the whole history as a family book for any browser (File menu). F5 reads the list afresh; the status bar says when the game has changed it.

Before it deletes a file or saves a record it keeps a copy in $XDG_DATA_HOME/lifeledger/backups: Edit &gt; Undo (Ctrl+Z) takes the last edit or deletion back, and File &gt; Restore Deleted... puts back the deletions of earlier sessions.

Without options it finds the game through the Wine prefix in $WINEPREFIX; when that is not set, through the last installation chosen, ~/.wine, and the prefixes kept by Steam (Proton), Lutris, Bottles, PlayOnLinux and CrossOver. When several hold the game, it asks which to open.</source>
        <translation>Lifeledger listet jedes Geschöpf, das je in einer Vivarion-2-Welt gelebt hat, bearbeitet Name, Besitzerdaten, Grabinschrift und Grabsteinfoto eines Geschöpfs, löscht nach einer Rückfrage seine Dateien und zeigt und speichert die Fotos seines Albums.

Es zeichnet den Stammbaum eines Geschöpfs (Strg+T), findet Geschöpfe nach jedem ihrer Texte (Strg+F), zeigt ein Album als Kontaktbogen (Strg+K), zeigt die Statistik der Welt als Diagramme und Tabellen (Strg+I) und exportiert die Liste als CSV und die ganze Chronik als Familienbuch für jeden Browser (Menü Datei). F5 liest die Liste neu; die Statusleiste sagt, wenn das Spiel sie geändert hat.

Bevor es eine Datei löscht oder eine Chronikdatei speichert, bewahrt es eine Kopie in $XDG_DATA_HOME/lifeledger/backups auf: Bearbeiten &gt; Rückgängig (Strg+Z) nimmt die letzte Bearbeitung oder das letzte Löschen zurück, und Datei &gt; Gelöschte wiederherstellen … legt das Gelöschte früherer Sitzungen zurück.

Ohne Optionen findet es das Spiel über das Wine-Präfix in $WINEPREFIX; ist das nicht gesetzt, über die zuletzt gewählte Installation, ~/.wine und die Präfixe von Steam (Proton), Lutris, Bottles, PlayOnLinux und CrossOver. Enthalten mehrere das Spiel, fragt es, welches geöffnet werden soll.</translation>
    </message>
</context>
<context>
    <name>CommandLineExports</name>
    <message>
        <source>Several Wine prefixes hold the game; name one with --prefix:</source>
        <translation>Mehrere Wine-Präfixe enthalten das Spiel; nennen Sie eines mit --prefix:</translation>
    </message>
    <message>
        <source>Reading the history...</source>
        <translation>Die Chronik wird gelesen …</translation>
    </message>
    <message>
        <source>Family book: %1 of %2 creatures</source>
        <translation>Familienbuch: %1 von %2 Geschöpfen</translation>
    </message>
    <message>
        <source>Album left out: %1</source>
        <translation>Album ausgelassen: %1</translation>
    </message>
    <message numerus="yes">
        <source>%n creatures written.</source>
        <translation>
            <numerusform>%n Geschöpf geschrieben.</numerusform>
            <numerusform>%n Geschöpfe geschrieben.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ContactSheetDialog</name>
    <message>
        <source>Contact Sheet</source>
        <translation>Kontaktbogen</translation>
    </message>
    <message>
        <source>Photos</source>
        <translation>Fotos</translation>
    </message>
    <message>
        <source>Click a photo (or press Enter) to see it at full size</source>
        <translation>Ein Foto anklicken (oder die Eingabetaste drücken), um es in voller Größe zu sehen</translation>
    </message>
    <message>
        <source>F&amp;ormat:</source>
        <translation>F&amp;ormat:</translation>
    </message>
    <message>
        <source>PNG</source>
        <translation>PNG</translation>
    </message>
    <message>
        <source>BMP, 16 bits (as the album viewer saves)</source>
        <translation>BMP, 16 Bit (wie die Albumansicht speichert)</translation>
    </message>
    <message>
        <source>&amp;Save All Photos...</source>
        <translation>Alle Fotos &amp;speichern …</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Contact Sheet of %1</source>
        <translation>Kontaktbogen von %1</translation>
    </message>
    <message>
        <source>Save All Photos</source>
        <translation>Alle Fotos speichern</translation>
    </message>
    <message>
        <source>The folder already holds photos of this creature. Replace them?</source>
        <translation>Der Ordner enthält schon Fotos dieses Geschöpfs. Sollen sie ersetzt werden?</translation>
    </message>
    <message numerus="yes">
        <source>%n photos saved in %1.</source>
        <translation>
            <numerusform>%n Foto in %1 gespeichert.</numerusform>
            <numerusform>%n Fotos in %1 gespeichert.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 - %2</source>
        <translation>%1 – %2</translation>
    </message>
</context>
<context>
    <name>CreatureListModel</name>
    <message>
        <source>Name of Creature</source>
        <translation>Name des Geschöpfs</translation>
    </message>
    <message>
        <source>Moniker</source>
        <translation>Kennung</translation>
    </message>
    <message>
        <source>Species</source>
        <translation>Art</translation>
    </message>
    <message>
        <source>Gender</source>
        <translation>Geschlecht</translation>
    </message>
    <message>
        <source>Parents</source>
        <translation>Eltern</translation>
    </message>
    <message>
        <source>Life (From -&gt; To)</source>
        <translation>Leben (von – bis)</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Tovik</source>
        <translation>Tovik</translation>
    </message>
    <message>
        <source>Skarrow</source>
        <translation>Skarrow</translation>
    </message>
    <message>
        <source>Brumble</source>
        <translation>Brumble</translation>
    </message>
    <message>
        <source>Yarrel?</source>
        <translation>Yarrel?</translation>
    </message>
    <message>
        <source>Male</source>
        <translation>Männlich</translation>
    </message>
    <message>
        <source>Female</source>
        <translation>Weiblich</translation>
    </message>
    <message>
        <source>Alive and in world</source>
        <translation>Lebt in der Welt</translation>
    </message>
    <message>
        <source>Dead</source>
        <translation>Tot</translation>
    </message>
    <message>
        <source>Dead but not registered</source>
        <translation>Tot, aber nicht eingetragen</translation>
    </message>
    <message>
        <source>Exported - State Unknown</source>
        <translation>Exportiert – Status unbekannt</translation>
    </message>
    <message>
        <source>%1 (%2) and %3 (%4)</source>
        <translation>%1 (%2) und %3 (%4)</translation>
    </message>
    <message>
        <source>%1 (Still alive)</source>
        <translation>%1 (lebt noch)</translation>
    </message>
    <message>
        <source>exported from the world</source>
        <translation>aus der Welt exportiert</translation>
    </message>
    <message>
        <source>dead</source>
        <translation>tot</translation>
    </message>
    <message>
        <source>alive</source>
        <translation>lebend</translation>
    </message>
    <message>
        <source>has a photo album</source>
        <translation>hat ein Fotoalbum</translation>
    </message>
    <message>
        <source>has a genetics file</source>
        <translation>hat eine Genetikdatei</translation>
    </message>
    <message>
        <source>no parents recorded</source>
        <translation>keine Eltern verzeichnet</translation>
    </message>
    <message>
        <source>%1 -&gt; %2</source>
        <translation>%1 – %2</translation>
    </message>
</context>
<context>
    <name>DeleteCreatureDialog</name>
    <message>
        <source>Deleting an entry</source>
        <translation>Eintrag löschen</translation>
    </message>
    <message>
        <source>Entry Information</source>
        <translation>Angaben zum Eintrag</translation>
    </message>
    <message>
        <source>Moniker:</source>
        <translation>Kennung:</translation>
    </message>
    <message>
        <source>Creature Name:</source>
        <translation>Name des Geschöpfs:</translation>
    </message>
    <message>
        <source>Delete Options</source>
        <translation>Was gelöscht wird</translation>
    </message>
    <message>
        <source>Warning, this operation will irretreivably delete the following files:</source>
        <translation>Achtung, dieser Vorgang löscht die folgenden Dateien unwiderruflich:</translation>
    </message>
    <message>
        <source>As the creature is probably still in the game, this may cause problems in later life.</source>
        <translation>Da das Geschöpf wahrscheinlich noch im Spiel ist, kann das später zu Problemen führen.</translation>
    </message>
    <message>
        <source>This could cause problems with the gravestone.</source>
        <translation>Das kann Probleme mit dem Grabstein verursachen.</translation>
    </message>
    <message>
        <source>This will remove the entry from the funeral kit</source>
        <translation>Damit verschwindet der Eintrag aus dem Bestattungsset</translation>
    </message>
    <message>
        <source>This will leave a genetics file un-referenced by the history data</source>
        <translation>Damit bleibt eine Genetikdatei zurück, auf die keine Chronikdaten mehr verweisen</translation>
    </message>
    <message>
        <source>This will leave a photo album file un-referenced by the history data</source>
        <translation>Damit bleibt eine Fotoalbumdatei zurück, auf die keine Chronikdaten mehr verweisen</translation>
    </message>
    <message>
        <source>Are you sure?</source>
        <translation>Sind Sie sicher?</translation>
    </message>
    <message>
        <source>The Endrish Lifeledger</source>
        <translation>Endrish-Lifeledger</translation>
    </message>
    <message>
        <source>Delete &amp;History Entry</source>
        <translation>&amp;Chronikeintrag löschen</translation>
    </message>
    <message>
        <source>Delete &amp;Genetics File</source>
        <translation>&amp;Genetikdatei löschen</translation>
    </message>
    <message>
        <source>Delete &amp;Photo Album</source>
        <translation>&amp;Fotoalbum löschen</translation>
    </message>
    <message>
        <source>&amp;Execute Choice</source>
        <translation>Auswahl &amp;ausführen</translation>
    </message>
</context>
<context>
    <name>DirectoryWatch</name>
    <message>
        <source>the system&apos;s limit of watched folders is reached</source>
        <translation>die Höchstzahl beobachteter Ordner des Systems ist erreicht</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>EditCreatureDialog</name>
    <message>
        <source>Editing a Creature Entry</source>
        <translation>Geschöpfeintrag bearbeiten</translation>
    </message>
    <message>
        <source>Creature Information</source>
        <translation>Angaben zum Geschöpf</translation>
    </message>
    <message>
        <source>Moniker:</source>
        <translation>Kennung:</translation>
    </message>
    <message>
        <source>Death Information</source>
        <translation>Angaben zum Tod</translation>
    </message>
    <message>
        <source>Gravestone:</source>
        <translation>Grabstein:</translation>
    </message>
    <message>
        <source>General Information</source>
        <translation>Allgemeine Angaben</translation>
    </message>
    <message>
        <source>Creature Name</source>
        <translation>Name des Geschöpfs</translation>
    </message>
    <message>
        <source>Owner Name</source>
        <translation>Name des Besitzers</translation>
    </message>
    <message>
        <source>Owner E-Mail</source>
        <translation>E-Mail des Besitzers</translation>
    </message>
    <message>
        <source>Owner URL</source>
        <translation>URL des Besitzers</translation>
    </message>
    <message>
        <source>Owner Notes</source>
        <translation>Notizen des Besitzers</translation>
    </message>
    <message>
        <source>Epitaph</source>
        <translation>Grabinschrift</translation>
    </message>
    <message>
        <source>The %1 holds characters that a creature&apos;s record cannot store: %2
Please replace them; nothing has been saved.</source>
        <translation>Das Feld »%1« enthält Zeichen, die der Eintrag eines Geschöpfs nicht speichern kann: %2
Bitte ersetzen Sie sie; es wurde nichts gespeichert.</translation>
    </message>
    <message>
        <source>The %1 is %2 characters long; a creature&apos;s record can store at most %3. Please shorten it; nothing has been saved.</source>
        <translation>Das Feld »%1« ist %2 Zeichen lang; der Eintrag eines Geschöpfs kann höchstens %3 speichern. Bitte kürzen Sie es; es wurde nichts gespeichert.</translation>
    </message>
    <message>
        <source>Creature &amp;Name:</source>
        <translation>&amp;Name des Geschöpfs:</translation>
    </message>
    <message>
        <source>&amp;Epitaph:</source>
        <translation>&amp;Grabinschrift:</translation>
    </message>
    <message>
        <source>&amp;Choose</source>
        <translation>Nächstes &amp;Foto</translation>
    </message>
    <message>
        <source>Gravestone picture</source>
        <translation>Grabsteinbild</translation>
    </message>
    <message>
        <source>Gravestone photo</source>
        <translation>Grabsteinfoto</translation>
    </message>
    <message>
        <source>&amp;Owner Name:</source>
        <translation>Name des &amp;Besitzers:</translation>
    </message>
    <message>
        <source>Owner &amp;URL:</source>
        <translation>&amp;URL des Besitzers:</translation>
    </message>
    <message>
        <source>Owner E-&amp;Mail:</source>
        <translation>&amp;E-Mail des Besitzers:</translation>
    </message>
    <message>
        <source>Owner No&amp;tes:</source>
        <translation>No&amp;tizen des Besitzers:</translation>
    </message>
    <message>
        <source>&amp;Accept Edit</source>
        <translation>Änderung &amp;übernehmen</translation>
    </message>
    <message>
        <source>Cance&amp;l Edit</source>
        <translation>Änderung &amp;verwerfen</translation>
    </message>
</context>
<context>
    <name>Exports</name>
    <message>
        <source>Birth time stamp</source>
        <translation>Geburtszeitstempel</translation>
    </message>
    <message>
        <source>Death time stamp</source>
        <translation>Todeszeitstempel</translation>
    </message>
    <message>
        <source>History file</source>
        <translation>Chronikdatei</translation>
    </message>
    <message>
        <source>Photo album</source>
        <translation>Fotoalbum</translation>
    </message>
    <message>
        <source>Genetics file</source>
        <translation>Genetikdatei</translation>
    </message>
    <message>
        <source>not in the history</source>
        <translation>nicht in der Chronik</translation>
    </message>
    <message>
        <source>Family Book</source>
        <translation>Familienbuch</translation>
    </message>
    <message>
        <source>en</source>
        <translation>de</translation>
    </message>
    <message>
        <source>All creatures</source>
        <translation>Alle Geschöpfe</translation>
    </message>
    <message>
        <source>Species</source>
        <translation>Art</translation>
    </message>
    <message>
        <source>Gender</source>
        <translation>Geschlecht</translation>
    </message>
    <message>
        <source>Life</source>
        <translation>Leben</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Parents</source>
        <translation>Eltern</translation>
    </message>
    <message>
        <source>Children</source>
        <translation>Kinder</translation>
    </message>
    <message>
        <source>Owner</source>
        <translation>Besitzer</translation>
    </message>
    <message>
        <source>Owner&apos;s notes</source>
        <translation>Notizen des Besitzers</translation>
    </message>
    <message>
        <source>Epitaph</source>
        <translation>Grabinschrift</translation>
    </message>
    <message>
        <source>Photo %1 of %2</source>
        <translation>Foto %1 von %2</translation>
    </message>
    <message numerus="yes">
        <source>%n creatures from %1, written %2.</source>
        <translation>
            <numerusform>%n Geschöpf aus %1, geschrieben am %2.</numerusform>
            <numerusform>%n Geschöpfe aus %1, geschrieben am %2.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1, page %2 of %3</source>
        <translation>%1, Seite %2 von %3</translation>
    </message>
    <message>
        <source>Pages of the family book</source>
        <translation>Seiten des Familienbuchs</translation>
    </message>
    <message>
        <source>Creatures %1 to %2 of %3</source>
        <translation>Geschöpfe %1 bis %2 von %3</translation>
    </message>
</context>
<context>
    <name>FamilyTreeWindow</name>
    <message>
        <source>Family Tree</source>
        <translation>Stammbaum</translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation>&amp;Verkleinern</translation>
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <translation>Ver&amp;größern</translation>
    </message>
    <message>
        <source>&amp;Whole Tree</source>
        <translation>&amp;Ganzer Baum</translation>
    </message>
    <message>
        <source>&amp;Actual Size</source>
        <translation>&amp;Originalgröße</translation>
    </message>
    <message>
        <source>Family tree</source>
        <translation>Stammbaum</translation>
    </message>
    <message>
        <source>(moniker used twice)</source>
        <translation>(Kennung doppelt vergeben)</translation>
    </message>
    <message>
        <source>(not in the history)</source>
        <translation>(nicht in der Chronik)</translation>
    </message>
    <message>
        <source>not in the history</source>
        <translation>nicht in der Chronik</translation>
    </message>
    <message>
        <source>Family Tree of %1</source>
        <translation>Stammbaum von %1</translation>
    </message>
    <message numerus="yes">
        <source>%n people: ancestors above, descendants below. Double-click a card (or press Enter) to select the creature in the list.</source>
        <translation>
            <numerusform>%n Geschöpf: Vorfahren oben, Nachkommen unten. Ein Doppelklick auf eine Karte (oder die Eingabetaste) wählt das Geschöpf in der Liste aus.</numerusform>
            <numerusform>%n Geschöpfe: Vorfahren oben, Nachkommen unten. Ein Doppelklick auf eine Karte (oder die Eingabetaste) wählt das Geschöpf in der Liste aus.</numerusform>
        </translation>
    </message>
    <message>
        <source>the creature itself</source>
        <translation>das Geschöpf selbst</translation>
    </message>
    <message>
        <source>parent</source>
        <translation>Elternteil</translation>
    </message>
    <message>
        <source>child</source>
        <translation>Kind</translation>
    </message>
    <message>
        <source>grandparent</source>
        <translation>Großelternteil</translation>
    </message>
    <message>
        <source>grandchild</source>
        <translation>Enkelkind</translation>
    </message>
    <message numerus="yes">
        <source>ancestor, %n generations up</source>
        <translation>
            <numerusform>Vorfahr, %n Generation darüber</numerusform>
            <numerusform>Vorfahr, %n Generationen darüber</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>descendant, %n generations down</source>
        <translation>
            <numerusform>Nachkomme, %n Generation darunter</numerusform>
            <numerusform>Nachkomme, %n Generationen darunter</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FileSystem</name>
    <message>
        <source>Cannot read file &quot;%1&quot;. There is not enough memory for it.</source>
        <translation>Die Datei »%1« kann nicht gelesen werden. Dafür reicht der Arbeitsspeicher nicht.</translation>
    </message>
    <message>
        <source>Cannot open file &quot;%1&quot;. %2</source>
        <translation>Die Datei »%1« kann nicht geöffnet werden. %2</translation>
    </message>
    <message>
        <source>Cannot create file &quot;%1&quot;. %2</source>
        <translation>Die Datei »%1« kann nicht angelegt werden. %2</translation>
    </message>
    <message>
        <source>It is a directory.</source>
        <translation>Sie ist ein Ordner.</translation>
    </message>
    <message>
        <source>It is not a regular file.</source>
        <translation>Sie ist keine gewöhnliche Datei.</translation>
    </message>
    <message>
        <source>It is %1 bytes long; at most %2 bytes are read.</source>
        <translation>Sie ist %1 Bytes lang; gelesen werden höchstens %2 Bytes.</translation>
    </message>
    <message>
        <source>Cannot read file &quot;%1&quot;. %2</source>
        <translation>Die Datei »%1« kann nicht gelesen werden. %2</translation>
    </message>
    <message>
        <source>It is a symbolic link; Lifeledger never writes through a link to a file elsewhere.</source>
        <translation>Sie ist eine symbolische Verknüpfung; Lifeledger schreibt nie über eine Verknüpfung in eine Datei anderswo.</translation>
    </message>
    <message>
        <source>The file has been removed since it was read.</source>
        <translation>Die Datei wurde entfernt, seit sie gelesen wurde.</translation>
    </message>
    <message>
        <source>A directory of that name is in the way.</source>
        <translation>Ein Ordner dieses Namens ist im Weg.</translation>
    </message>
    <message>
        <source>The file is read-only.</source>
        <translation>Die Datei ist schreibgeschützt.</translation>
    </message>
    <message>
        <source>The file has been changed since it was read.</source>
        <translation>Die Datei wurde geändert, seit sie gelesen wurde.</translation>
    </message>
    <message>
        <source>Not all of it could be written (is the disk full?).</source>
        <translation>Sie konnte nicht vollständig geschrieben werden (ist der Datenträger voll?).</translation>
    </message>
    <message>
        <source>It could not be written to the disk.</source>
        <translation>Sie konnte nicht auf den Datenträger geschrieben werden.</translation>
    </message>
    <message>
        <source>It belongs to user %1, group %2, and a new file cannot be given that owner, so the file is left as it was.</source>
        <translation>Sie gehört Benutzer %1, Gruppe %2, und eine neue Datei kann diesen Besitzer nicht erhalten; die Datei bleibt daher, wie sie war.</translation>
    </message>
    <message>
        <source>It is not a folder.</source>
        <translation>Es ist kein Ordner.</translation>
    </message>
    <message>
        <source>It is a symbolic link; Lifeledger never writes through a link to a folder elsewhere.</source>
        <translation>Er ist eine symbolische Verknüpfung; Lifeledger schreibt nie über eine Verknüpfung in einen Ordner anderswo.</translation>
    </message>
    <message>
        <source>Cannot write into folder &quot;%1&quot;. %2</source>
        <translation>In den Ordner »%1« kann nicht geschrieben werden. %2</translation>
    </message>
    <message>
        <source>en</source>
        <comment>the language of the messages, for their numbers</comment>
        <translation>de</translation>
    </message>
    <message>
        <source>It belonged to user %1, group %2, and a new file cannot be given that owner.</source>
        <translation>Sie gehörte Benutzer %1, Gruppe %2, und eine neue Datei kann diesen Eigentümer nicht erhalten.</translation>
    </message>
    <message>
        <source>A file of that name is there again.</source>
        <translation>Eine Datei dieses Namens ist wieder da.</translation>
    </message>
</context>
<context>
    <name>FindBar</name>
    <message>
        <source>F&amp;ind:</source>
        <translation>S&amp;uchen:</translation>
    </message>
    <message>
        <source>name, moniker, parent, owner or epitaph</source>
        <translation>Name, Kennung, Elternteil, Besitzer oder Grabinschrift</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Close the find bar and show every creature (Esc)</source>
        <translation>Die Suchleiste schließen und alle Geschöpfe zeigen (Esc)</translation>
    </message>
    <message>
        <source>Clear the text</source>
        <translation>Den Text löschen</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message>
        <source>%1 creatures found</source>
        <translation>%1 Geschöpfe gefunden</translation>
    </message>
</context>
<context>
    <name>HistoryController</name>
    <message>
        <source>and %1 more.</source>
        <translation>und %1 weitere.</translation>
    </message>
    <message>
        <source>The history folder cannot be read, so the list is empty: %1</source>
        <translation>Der Chronikordner ist nicht lesbar, die Liste ist leer: %1</translation>
    </message>
    <message>
        <source>Changes by the game cannot be watched: F5 rereads the list.</source>
        <translation>Änderungen durch das Spiel können nicht beobachtet werden: F5 liest die Liste neu.</translation>
    </message>
    <message>
        <source>These history files could not be read, so their creatures are not listed:</source>
        <translation>Diese Chronikdateien konnten nicht gelesen werden; ihre Geschöpfe fehlen daher in der Liste:</translation>
    </message>
    <message>
        <source>No copy of the history record %1 could be kept, so nothing has been saved.</source>
        <translation>Von der Chronikdatei %1 konnte keine Kopie aufbewahrt werden, deshalb wurde nichts gespeichert.</translation>
    </message>
    <message>
        <source>A copy of the files could not be kept, so nothing has been deleted.</source>
        <translation>Von den Dateien konnte keine Kopie aufbewahrt werden, deshalb wurde nichts gelöscht.</translation>
    </message>
    <message>
        <source>Edit of %1</source>
        <translation>Bearbeitung von %1</translation>
    </message>
    <message>
        <source>Deletion of %1</source>
        <translation>Löschen von %1</translation>
    </message>
    <message>
        <source>The history record of %1 has been changed or removed since the edit, so the edit cannot be taken back; the record is left as it is:
%2</source>
        <translation>Die Chronikdatei von %1 wurde seit der Bearbeitung geändert oder entfernt, deshalb kann die Bearbeitung nicht zurückgenommen werden; die Datei bleibt, wie sie ist:
%2</translation>
    </message>
    <message>
        <source>The history record of %1 has been changed or removed since the edit was taken back, so it cannot be made again; the record is left as it is:
%2</source>
        <translation>Die Chronikdatei von %1 wurde geändert oder entfernt, seit die Bearbeitung zurückgenommen wurde, deshalb kann sie nicht wiederholt werden; die Datei bleibt, wie sie ist:
%2</translation>
    </message>
    <message>
        <source>The copies of %1&apos;s files are no longer in the store, so they cannot be put back.</source>
        <translation>Die Kopien der Dateien von %1 sind nicht mehr im Speicher und können nicht zurückgelegt werden.</translation>
    </message>
    <message>
        <source>Not every file of %1 could be deleted again; these stay:
%2</source>
        <translation>Nicht alle Dateien von %1 konnten erneut gelöscht werden; diese bleiben:
%2</translation>
    </message>
    <message>
        <source>That deletion is no longer in the store.</source>
        <translation>Dieses Löschen ist nicht mehr im Speicher.</translation>
    </message>
</context>
<context>
    <name>InstallationChooserDialog</name>
    <message>
        <source>Open Installation</source>
        <translation>Installation öffnen</translation>
    </message>
    <message>
        <source>Vivarion 2 is installed in more than one place. Which installation should Lifeledger open?</source>
        <translation>Vivarion 2 ist an mehr als einem Ort installiert. Welche Installation soll Lifeledger öffnen?</translation>
    </message>
    <message>
        <source>Launcher</source>
        <translation>Launcher</translation>
    </message>
    <message>
        <source>Wine prefix</source>
        <translation>Wine-Präfix</translation>
    </message>
    <message>
        <source>History folder</source>
        <translation>Chronikordner</translation>
    </message>
    <message>
        <source>Creatures</source>
        <translation>Geschöpfe</translation>
    </message>
    <message>
        <source>Installations</source>
        <translation>Installationen</translation>
    </message>
    <message>
        <source>No other installation of Vivarion 2 was found.</source>
        <translation>Es wurde keine andere Installation von Vivarion 2 gefunden.</translation>
    </message>
    <message>
        <source>Places searched:</source>
        <translation>Durchsuchte Orte:</translation>
    </message>
    <message>
        <source>The installation in %1 no longer holds Vivarion 2. Lifeledger goes on showing the one it showed.</source>
        <translation>Die Installation in %1 enthält Vivarion 2 nicht mehr. Lifeledger zeigt weiter die bisherige.</translation>
    </message>
</context>
<context>
    <name>Launchers</name>
    <message>
        <source>(The search stopped there: it took longer than %1 s or met more than %2 prefixes.)</source>
        <translation>(Die Suche endete hier: Sie dauerte länger als %1 s oder traf auf mehr als %2 Präfixe.)</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Endrish Creature History</source>
        <translation>Endrish-Geschöpfchronik</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Creature</source>
        <translation>&amp;Geschöpf</translation>
    </message>
    <message>
        <source>&amp;Open Installation...</source>
        <translation>Installation ö&amp;ffnen …</translation>
    </message>
    <message>
        <source>&amp;Reread</source>
        <translation>&amp;Neu einlesen</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>View/&amp;Edit</source>
        <translation>Ansehen/&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;View Photo Album</source>
        <translation>&amp;Fotoalbum ansehen</translation>
    </message>
    <message>
        <source>Delete Entry</source>
        <translation>Eintrag löschen</translation>
    </message>
    <message>
        <source>Edit Entry Data</source>
        <translation>Eintragsdaten bearbeiten</translation>
    </message>
    <message>
        <source>View Photo Album</source>
        <translation>Fotoalbum ansehen</translation>
    </message>
    <message>
        <source>These files could not be deleted:</source>
        <translation>Diese Dateien konnten nicht gelöscht werden:</translation>
    </message>
    <message>
        <source>The game changed the history record of %1 after the list was read:
%2

Nothing has been saved. The list now shows the record as it is; edit it again to make your change.</source>
        <translation>Das Spiel hat den Chronikeintrag von %1 geändert, nachdem die Liste gelesen wurde:
%2

Es wurde nichts gespeichert. Die Liste zeigt den Eintrag jetzt, wie er ist; bearbeiten Sie ihn erneut, um Ihre Änderung vorzunehmen.</translation>
    </message>
    <message>
        <source>The game changed the history since it was read: F5 rereads it</source>
        <translation>Das Spiel hat die Chronik geändert, seit sie gelesen wurde: F5 liest sie neu ein</translation>
    </message>
    <message>
        <source>Creatures</source>
        <translation>Geschöpfe</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;About Lifeledger</source>
        <translation>&amp;Über Lifeledger</translation>
    </message>
    <message>
        <source>Export &amp;List...</source>
        <translation>&amp;Liste exportieren …</translation>
    </message>
    <message>
        <source>Export &amp;Family Book...</source>
        <translation>Familienbuch e&amp;xportieren …</translation>
    </message>
    <message>
        <source>Family &amp;Tree</source>
        <translation>&amp;Stammbaum</translation>
    </message>
    <message>
        <source>Contact &amp;Sheet</source>
        <translation>&amp;Kontaktbogen</translation>
    </message>
    <message>
        <source>&amp;Find...</source>
        <translation>S&amp;uchen …</translation>
    </message>
    <message>
        <source>The game changed it after the list was read, so it is kept; the list now shows it as it is.</source>
        <translation>Das Spiel hat sie geändert, nachdem die Liste gelesen wurde; sie bleibt daher erhalten, und die Liste zeigt sie jetzt, wie sie ist.</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;World Statistics</source>
        <translation>&amp;Weltstatistik</translation>
    </message>
    <message>
        <source>Restore &amp;Deleted...</source>
        <translation>&amp;Gelöschte wiederherstellen …</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <translation>&amp;Rückgängig: %1</translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation>&amp;Wiederholen: %1</translation>
    </message>
</context>
<context>
    <name>MenuDialogs</name>
    <message>
        <source>CSV Files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>Export List</source>
        <translation>Liste exportieren</translation>
    </message>
    <message>
        <source>Export Family Book</source>
        <translation>Familienbuch exportieren</translation>
    </message>
    <message>
        <source>%1 already holds an index.html. Replace it?</source>
        <translation>%1 enthält schon eine index.html. Soll sie ersetzt werden?</translation>
    </message>
    <message numerus="yes">
        <source>The family book of %n creatures is in %1 (open index.html in any browser).</source>
        <translation>
            <numerusform>Das Familienbuch von %n Geschöpf liegt in %1 (index.html in einem beliebigen Browser öffnen).</numerusform>
            <numerusform>Das Familienbuch von %n Geschöpfen liegt in %1 (index.html in einem beliebigen Browser öffnen).</numerusform>
        </translation>
    </message>
    <message>
        <source>Albums left out:</source>
        <translation>Ausgelassene Alben:</translation>
    </message>
    <message>
        <source>Found by:</source>
        <translation>Gefunden über:</translation>
    </message>
    <message>
        <source>Wine prefix:</source>
        <translation>Wine-Präfix:</translation>
    </message>
    <message>
        <source>History folder:</source>
        <translation>Chronikordner:</translation>
    </message>
    <message>
        <source>Genetics folder:</source>
        <translation>Genetikordner:</translation>
    </message>
    <message>
        <source>About Lifeledger</source>
        <translation>Über Lifeledger</translation>
    </message>
    <message>
        <source>A companion for the creature-raising game Vivarion 2: every creature that ever lived in your world, its record, its photos and its files.</source>
        <translation>Ein Begleiter zum Zuchtspiel Vivarion 2: jedes Geschöpf, das je in Ihrer Welt gelebt hat, sein Eintrag, seine Fotos und seine Dateien.</translation>
    </message>
    <message>
        <source>Reading now:</source>
        <translation>Derzeit geöffnet:</translation>
    </message>
</context>
<context>
    <name>PhotoAlbumDialog</name>
    <message>
        <source>Viewing the Photo Album...</source>
        <translation>Fotoalbum ansehen</translation>
    </message>
    <message>
        <source>Double-Left-Click me to save this image</source>
        <translation>Doppelklicken, um dieses Bild zu speichern</translation>
    </message>
    <message>
        <source>Bitmap Files (*.bmp)</source>
        <translation>Bitmap-Dateien (*.bmp)</translation>
    </message>
    <message>
        <source>Lifeledger - View Photo Album</source>
        <translation>Lifeledger – Fotoalbum ansehen</translation>
    </message>
    <message>
        <source>This Creature does not have a photo album. As a result, you cannot view what is not there</source>
        <translation>Dieses Geschöpf hat kein Fotoalbum. Was nicht da ist, kann man auch nicht ansehen</translation>
    </message>
    <message>
        <source>Photos</source>
        <translation>Fotos</translation>
    </message>
    <message>
        <source>Picture</source>
        <translation>Bild</translation>
    </message>
    <message>
        <source>Photo</source>
        <translation>Foto</translation>
    </message>
    <message>
        <source>Press Enter or Ctrl+S to save this photo as a BMP file</source>
        <translation>Eingabetaste oder Strg+S speichert dieses Foto als BMP-Datei</translation>
    </message>
</context>
<context>
    <name>PhotoViewDialog</name>
    <message>
        <source>Photo</source>
        <translation>Foto</translation>
    </message>
    <message>
        <source>&amp;Fit to Window</source>
        <translation>An &amp;Fenster anpassen</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
</context>
<context>
    <name>RestoreDeletedDialog</name>
    <message>
        <source>Restore Deleted</source>
        <translation>Gelöschte wiederherstellen</translation>
    </message>
    <message>
        <source>Lifeledger keeps a copy of every file it deletes. Choose a deletion to put its files back where they were.</source>
        <translation>Lifeledger bewahrt von jeder Datei, die es löscht, eine Kopie auf. Wählen Sie ein Löschen, um seine Dateien an ihren Platz zurückzulegen.</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Moniker</source>
        <translation>Kennung</translation>
    </message>
    <message>
        <source>Deleted</source>
        <translation>Gelöscht</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>Remove from &amp;Store...</source>
        <translation>Aus dem &amp;Speicher entfernen …</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>history record</source>
        <translation>Chronikdatei</translation>
    </message>
    <message>
        <source>photo album</source>
        <translation>Fotoalbum</translation>
    </message>
    <message>
        <source>genetics file</source>
        <translation>Genetikdatei</translation>
    </message>
    <message numerus="yes">
        <source>The copies are kept in %1, at most %2 MiB of them, none longer than %n days.</source>
        <translation>
            <numerusform>Die Kopien liegen in %1, höchstens %2 MiB davon, keine länger als %n Tag.</numerusform>
            <numerusform>Die Kopien liegen in %1, höchstens %2 MiB davon, keine länger als %n Tage.</numerusform>
        </translation>
    </message>
    <message>
        <source>The files of %1 are back where they were.</source>
        <translation>Die Dateien von %1 sind wieder an ihrem Platz.</translation>
    </message>
    <message numerus="yes">
        <source>Remove the copies of %n deletions from the store? They cannot be restored afterwards.</source>
        <translation>
            <numerusform>Die Kopien von %n Löschen aus dem Speicher entfernen? Sie können danach nicht mehr wiederhergestellt werden.</numerusform>
            <numerusform>Die Kopien von %n Löschvorgängen aus dem Speicher entfernen? Sie können danach nicht mehr wiederhergestellt werden.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>S16File</name>
    <message>
        <source>List Index Out of Bounds</source>
        <translation>Listenindex außerhalb der Grenzen</translation>
    </message>
    <message>
        <source>The sprite file &quot;%1&quot; ends inside its headers.</source>
        <translation>Die Sprite-Datei »%1« endet mitten in ihren Kopfdaten.</translation>
    </message>
    <message>
        <source>The sprite file &quot;%1&quot; claims %2 MiB of pixels; at most %3 MiB are accepted.</source>
        <translation>Die Sprite-Datei »%1« gibt %2 MiB Bildpunkte an; angenommen werden höchstens %3 MiB.</translation>
    </message>
    <message>
        <source>Unable to open file %1</source>
        <translation>Die Datei %1 kann nicht geöffnet werden</translation>
    </message>
</context>
<context>
    <name>SaveFileDialog</name>
    <message>
        <source>Save As</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <source>The folder %1 does not exist.
Check the folder name and try again.</source>
        <translation>Den Ordner %1 gibt es nicht.
Bitte prüfen Sie den Ordnernamen und versuchen Sie es erneut.</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>The settings file %1 cannot be used: %2 Lifeledger runs with its defaults and remembers nothing this time.</source>
        <translation>Die Einstellungsdatei %1 kann nicht verwendet werden: %2 Lifeledger läuft mit seinen Voreinstellungen und merkt sich diesmal nichts.</translation>
    </message>
    <message>
        <source>needs a graphical session, and none was found (DISPLAY and WAYLAND_DISPLAY are not set).</source>
        <translation>braucht eine grafische Sitzung, und es wurde keine gefunden (DISPLAY und WAYLAND_DISPLAY sind nicht gesetzt).</translation>
    </message>
    <message>
        <source>write error: %1</source>
        <translation>Schreibfehler: %1</translation>
    </message>
</context>
<context>
    <name>StatisticsWindow</name>
    <message>
        <source>World Statistics</source>
        <translation>Weltstatistik</translation>
    </message>
    <message>
        <source>Summary</source>
        <translation>Überblick</translation>
    </message>
    <message>
        <source>Population</source>
        <translation>Bevölkerung</translation>
    </message>
    <message>
        <source>Births and Deaths</source>
        <translation>Geburten und Tode</translation>
    </message>
    <message>
        <source>Life Spans</source>
        <translation>Lebensdauer</translation>
    </message>
    <message>
        <source>Species</source>
        <translation>Art</translation>
    </message>
    <message>
        <source>Gender</source>
        <translation>Geschlecht</translation>
    </message>
    <message>
        <source>Generations</source>
        <translation>Generationen</translation>
    </message>
    <message>
        <source>Longest Line</source>
        <translation>Längste Linie</translation>
    </message>
    <message>
        <source>&amp;Save Chart As...</source>
        <translation>Diagramm &amp;speichern unter …</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>%1 days</source>
        <translation>%1 Tage</translation>
    </message>
    <message>
        <source>hour</source>
        <translation>Stunde</translation>
    </message>
    <message>
        <source>day</source>
        <translation>Tag</translation>
    </message>
    <message>
        <source>week</source>
        <translation>Woche</translation>
    </message>
    <message>
        <source>month</source>
        <translation>Monat</translation>
    </message>
    <message>
        <source>quarter</source>
        <translation>Quartal</translation>
    </message>
    <message>
        <source>year</source>
        <translation>Jahr</translation>
    </message>
    <message>
        <source>decade</source>
        <translation>Jahrzehnt</translation>
    </message>
    <message>
        <source>week of %1</source>
        <translation>Woche vom %1</translation>
    </message>
    <message>
        <source>Q%1 %2</source>
        <translation>Q%1 %2</translation>
    </message>
    <message>
        <source>%1s</source>
        <translation>%1er</translation>
    </message>
    <message>
        <source>%1, as a table</source>
        <translation>%1, als Tabelle</translation>
    </message>
    <message>
        <source>The %1 creatures found by &quot;%2&quot;, of %3 in the history.</source>
        <translation>Die %1 mit »%2« gefundenen Geschöpfe von %3 in der Chronik.</translation>
    </message>
    <message>
        <source>Creatures</source>
        <translation>Geschöpfe</translation>
    </message>
    <message>
        <source>Alive</source>
        <translation>Lebend</translation>
    </message>
    <message>
        <source>Dead</source>
        <translation>Tot</translation>
    </message>
    <message>
        <source>Exported</source>
        <translation>Exportiert</translation>
    </message>
    <message>
        <source>Other states</source>
        <translation>Anderer Status</translation>
    </message>
    <message>
        <source>Mean life span of the dead</source>
        <translation>Mittlere Lebensdauer der Toten</translation>
    </message>
    <message>
        <source>Median life span of the dead</source>
        <translation>Median der Lebensdauer der Toten</translation>
    </message>
    <message>
        <source>Dead before they were born (left out of the life spans)</source>
        <translation>Vor der Geburt gestorben (nicht in der Lebensdauer gezählt)</translation>
    </message>
    <message>
        <source>Earliest time</source>
        <translation>Frühester Zeitpunkt</translation>
    </message>
    <message>
        <source>Newest time in the history</source>
        <translation>Neuester Zeitpunkt der Chronik</translation>
    </message>
    <message>
        <source>Figure</source>
        <translation>Kennzahl</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <source>Births</source>
        <translation>Geburten</translation>
    </message>
    <message>
        <source>Deaths</source>
        <translation>Tode</translation>
    </message>
    <message>
        <source>Period (%1)</source>
        <translation>Zeitraum (%1)</translation>
    </message>
    <message>
        <source>Creatures alive at the end of each %1</source>
        <translation>Lebende Geschöpfe am Ende jedes Zeitraums (%1)</translation>
    </message>
    <message>
        <source>Births and deaths per %1</source>
        <translation>Geburten und Tode je Zeitraum (%1)</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 bis %2</translation>
    </message>
    <message>
        <source>Days lived</source>
        <translation>Gelebte Tage</translation>
    </message>
    <message>
        <source>Dead creatures</source>
        <translation>Tote Geschöpfe</translation>
    </message>
    <message>
        <source>Life spans of the dead</source>
        <translation>Lebensdauer der Toten</translation>
    </message>
    <message>
        <source>Days lived (from)</source>
        <translation>Gelebte Tage (ab)</translation>
    </message>
    <message>
        <source>Creatures by species</source>
        <translation>Geschöpfe nach Art</translation>
    </message>
    <message>
        <source>Creatures by gender</source>
        <translation>Geschöpfe nach Geschlecht</translation>
    </message>
    <message>
        <source>Generation</source>
        <translation>Generation</translation>
    </message>
    <message>
        <source>Creatures per generation</source>
        <translation>Geschöpfe je Generation</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Moniker</source>
        <translation>Kennung</translation>
    </message>
    <message>
        <source>Life</source>
        <translation>Leben</translation>
    </message>
    <message>
        <source>PNG Pictures (*.png);;SVG Pictures (*.svg)</source>
        <translation>PNG-Bilder (*.png);;SVG-Bilder (*.svg)</translation>
    </message>
    <message>
        <source>Save Chart As</source>
        <translation>Diagramm speichern unter</translation>
    </message>
    <message>
        <source>Alive at its end</source>
        <translation>Lebend an seinem Ende</translation>
    </message>
    <message numerus="yes">
        <source>All %Ln creatures of the history.</source>
        <translation>
            <numerusform>Das %Ln Geschöpf der Chronik.</numerusform>
            <numerusform>Alle %Ln Geschöpfe der Chronik.</numerusform>
        </translation>
    </message>
    <message>
        <source>Other codes</source>
        <translation>Andere Codes</translation>
    </message>
    <message>
        <source>Generation (from)</source>
        <translation>Generation (ab)</translation>
    </message>
</context>
</TS>
