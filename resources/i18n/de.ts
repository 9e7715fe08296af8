<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>About Qt</source>
        <translation>Über Qt</translation>
    </message>
    <message>
        <source>developed by</source>
        <translation>entwickelt von</translation>
    </message>
</context>
<context>
    <name>BatchSummary</name>
    <message>
        <source>Elapsed %1</source>
        <translation>Verstrichen: %1</translation>
    </message>
    <message>
        <source>Elapsed %1, about %2 left</source>
        <translation>Verstrichen: %1, noch etwa %2</translation>
    </message>
    <message numerus="yes">
        <source>%n failed</source>
        <translation>
            <numerusform>%n fehlgeschlagen</numerusform>
            <numerusform>%n fehlgeschlagen</numerusform>
        </translation>
    </message>
    <message>
        <source>%1, %2, %3</source>
        <translation>%1, %2, %3</translation>
    </message>
    <message numerus="yes">
        <source>%n done</source>
        <translation>
            <numerusform>%n fertig</numerusform>
            <numerusform>%n fertig</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n skipped</source>
        <translation>
            <numerusform>%n ausgelassen</numerusform>
            <numerusform>%n ausgelassen</numerusform>
        </translation>
    </message>
    <message>
        <source>Finished in %1: %2</source>
        <translation>Fertig nach %1: %2</translation>
    </message>
    <message>
        <source>Cancelled after %1: %2; %3</source>
        <translation>Abgebrochen nach %1: %2; %3</translation>
    </message>
    <message numerus="yes">
        <source>%n not converted</source>
        <translation>
            <numerusform>%n nicht konvertiert</numerusform>
            <numerusform>%n nicht konvertiert</numerusform>
        </translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message numerus="yes">
        <source>%n with decode errors</source>
        <translation>
            <numerusform>%n mit Dekodierfehlern</numerusform>
            <numerusform>%n mit Dekodierfehlern</numerusform>
        </translation>
    </message>
    <message>
        <source>Stopped after %1: %2; %3</source>
        <translation>Angehalten nach %1: %2; %3</translation>
    </message>
</context>
<context>
    <name>FFmpegTask</name>
    <message>
        <source>The encoder could not be started</source>
        <translation>Der Encoder konnte nicht gestartet werden</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>Angehalten</translation>
    </message>
    <message>
        <source>The encoder crashed (signal %1)</source>
        <translation>Der Encoder ist abgestürzt (Signal %1)</translation>
    </message>
    <message>
        <source>The encoder ended with exit code %1</source>
        <translation>Der Encoder wurde mit Exit-Code %1 beendet</translation>
    </message>
    <message>
        <source>No thread could be started for it</source>
        <translation>Für diese Datei konnte kein Thread gestartet werden</translation>
    </message>
    <message>
        <source>The file could not be copied</source>
        <translation>Die Datei konnte nicht kopiert werden</translation>
    </message>
    <message>
        <source>The copy could not be put in place</source>
        <translation>Die Kopie konnte nicht an ihrem Zielort abgelegt werden</translation>
    </message>
    <message>
        <source>The output would replace the input</source>
        <translation>Die Ausgabedatei würde die Eingabedatei ersetzen</translation>
    </message>
    <message>
        <source>The output would replace another input of the batch</source>
        <translation>Die Ausgabedatei würde eine andere Eingabedatei der Liste ersetzen</translation>
    </message>
    <message>
        <source>The encoder wrote no output</source>
        <translation>Der Encoder hat keine Ausgabe erzeugt</translation>
    </message>
    <message>
        <source>Another file appeared at the output path meanwhile and was kept</source>
        <translation>Inzwischen ist am Ausgabepfad eine andere Datei entstanden; sie wurde beibehalten</translation>
    </message>
    <message>
        <source>The output could not be put in place</source>
        <translation>Die Ausgabedatei konnte nicht an ihrem Zielort abgelegt werden</translation>
    </message>
    <message>
        <source>No space left on the device</source>
        <translation>Kein Speicherplatz mehr auf dem Gerät</translation>
    </message>
    <message>
        <source>The disk quota is used up</source>
        <translation>Das Speicherkontingent ist aufgebraucht</translation>
    </message>
    <message>
        <source>The output is too large for its file system</source>
        <translation>Die Ausgabedatei ist zu groß für ihr Dateisystem</translation>
    </message>
    <message>
        <source>The device reported an input/output error</source>
        <translation>Das Gerät hat einen Ein-/Ausgabefehler gemeldet</translation>
    </message>
    <message>
        <source>The encoder could not finish writing the output</source>
        <translation>Der Encoder konnte die Ausgabedatei nicht fertig schreiben</translation>
    </message>
    <message>
        <source>decoded with errors: %1</source>
        <translation>mit Fehlern dekodiert: %1</translation>
    </message>
    <message>
        <source>%1 (exit code %2)</source>
        <translation>%1 (Exit-Code %2)</translation>
    </message>
    <message>
        <source>Not an audio or video file</source>
        <translation>Keine Audio- oder Videodatei</translation>
    </message>
    <message>
        <source>Not an audio or video file; a file of that name is already in the output folder</source>
        <translation>Keine Audio- oder Videodatei; eine Datei dieses Namens liegt bereits im Ausgabeordner</translation>
    </message>
    <message>
        <source>Not an audio or video file; copied to the output folder</source>
        <translation>Keine Audio- oder Videodatei; in den Ausgabeordner kopiert</translation>
    </message>
    <message>
        <source>The output already exists (quick mode)</source>
        <translation>Die Ausgabedatei existiert bereits (Schnellmodus)</translation>
    </message>
    <message>
        <source>Already in the output format; copied (quick mode)</source>
        <translation>Bereits im Ausgabeformat; kopiert (Schnellmodus)</translation>
    </message>
    <message>
        <source>Converted</source>
        <translation>Konvertiert</translation>
    </message>
    <message>
        <source>Writing the tags failed part way: the output may be damaged</source>
        <translation>Das Schreiben der Tags brach mittendrin ab: die Ausgabe kann beschädigt sein</translation>
    </message>
    <message>
        <source>Converted; %1</source>
        <translation>Konvertiert; %1</translation>
    </message>
    <message>
        <source>no ReplayGain tags: the loudness could not be measured</source>
        <translation>keine ReplayGain-Tags: Die Lautheit konnte nicht gemessen werden</translation>
    </message>
    <message>
        <source>The same file as row %1, which converts it</source>
        <translation>Dieselbe Datei wie Zeile %1, die sie umwandelt</translation>
    </message>
</context>
<context>
    <name>JobDetailsDialog</name>
    <message>
        <source>Details: %1</source>
        <translation>Details: %1</translation>
    </message>
    <message>
        <source>File:</source>
        <translation>Datei:</translation>
    </message>
    <message>
        <source>Result:</source>
        <translation>Ergebnis:</translation>
    </message>
    <message>
        <source>Output:</source>
        <translation>Ausgabe:</translation>
    </message>
    <message>
        <source>Command line:</source>
        <translation>Befehlszeile:</translation>
    </message>
    <message>
        <source>No encoder ran for this file.</source>
        <translation>Für diese Datei lief kein Encoder.</translation>
    </message>
    <message>
        <source>Encoder output:</source>
        <translation>Ausgabe des Encoders:</translation>
    </message>
</context>
<context>
    <name>JobStatus</name>
    <message>
        <source>Pending</source>
        <translation>Ausstehend</translation>
    </message>
    <message>
        <source>Converting</source>
        <translation>In Arbeit</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Skipped</source>
        <translation>Ausgelassen</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
</context>
<context>
    <name>JobTable</name>
    <message>
        <source>Converting %1 %</source>
        <translation>In Arbeit %1 %</translation>
    </message>
    <message>
        <source>Output: %1</source>
        <translation>Ausgabe: %1</translation>
    </message>
    <message>
        <source>The encoder&apos;s last lines:</source>
        <translation>Die letzten Zeilen des Encoders:</translation>
    </message>
    <message>
        <source>An earlier row has the same output, so this one is numbered.</source>
        <translation>Eine frühere Zeile hat dieselbe Ausgabe, daher wird diese nummeriert.</translation>
    </message>
    <message>
        <source>Replaces an existing file.</source>
        <translation>Ersetzt eine vorhandene Datei.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Convert</source>
        <translation>Konvertieren</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Leeren</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>FFmpeg binary is invalid. Please check your settings.</source>
        <translation>Der FFmpeg-Pfad ist ungültig. Bitte überprüfen Sie Ihre Einstellungen.</translation>
    </message>
    <message>
        <source>Your output directory is bad. Maybe it is not writable?</source>
        <translation>Mit dem Ausgabeordner stimmt etwas nicht. Vielleicht ist er nicht beschreibbar?</translation>
    </message>
    <message>
        <source>Drop files or folders here, or use Add Files</source>
        <translation>Dateien oder Ordner hierher ziehen oder „Dateien hinzufügen“ verwenden</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Convert</source>
        <translation>&amp;Konvertieren</translation>
    </message>
    <message>
        <source>Add &amp;Files…</source>
        <translation>&amp;Dateien hinzufügen…</translation>
    </message>
    <message>
        <source>Add F&amp;older…</source>
        <translation>&amp;Ordner hinzufügen…</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Convert Failed Again</source>
        <translation>Fehlgeschlagene wiederholen</translation>
    </message>
    <message>
        <source>Stop Now</source>
        <translation>Sofort anhalten</translation>
    </message>
    <message>
        <source>Add Files</source>
        <translation>Dateien hinzufügen</translation>
    </message>
    <message>
        <source>Add Folder</source>
        <translation>Ordner hinzufügen</translation>
    </message>
    <message>
        <source>Show Details…</source>
        <translation>Details anzeigen…</translation>
    </message>
    <message>
        <source>Open Output Folder</source>
        <translation>Ausgabeordner öffnen</translation>
    </message>
    <message>
        <source>Cancelled: waiting for the files being converted to finish. Stop Now in the Convert menu stops them at once.</source>
        <translation>Abgebrochen: Es wird gewartet, bis die laufenden Konvertierungen fertig sind. „Sofort anhalten“ im Menü „Konvertieren“ beendet sie sofort.</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>Ausgabe</translation>
    </message>
    <message>
        <source>%1 into %2</source>
        <translation>%1 nach %2</translation>
    </message>
</context>
<context>
    <name>PreviewCounts</name>
    <message>
        <source>1 output replaces an existing file</source>
        <translation>1 Ausgabe ersetzt eine vorhandene Datei</translation>
    </message>
    <message>
        <source>%1 outputs replace existing files</source>
        <translation>%1 Ausgaben ersetzen vorhandene Dateien</translation>
    </message>
    <message>
        <source>1 row collides</source>
        <translation>1 Zeile kollidiert</translation>
    </message>
    <message>
        <source>%1 rows collide</source>
        <translation>%1 Zeilen kollidieren</translation>
    </message>
    <message>
        <source>1 output falls onto an input</source>
        <translation>1 Ausgabe fällt auf eine Eingabe</translation>
    </message>
    <message>
        <source>%1 outputs fall onto inputs</source>
        <translation>%1 Ausgaben fallen auf Eingaben</translation>
    </message>
    <message>
        <source>1 row repeats an input</source>
        <translation>1 Zeile wiederholt eine Eingabe</translation>
    </message>
    <message>
        <source>%1 rows repeat an input</source>
        <translation>%1 Zeilen wiederholen eine Eingabe</translation>
    </message>
</context>
<context>
    <name>OutputPlan</name>
    <message>
        <source>The output folder cannot be made</source>
        <translation>Der Ausgabeordner kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>The file cannot be read</source>
        <translation>Die Datei kann nicht gelesen werden</translation>
    </message>
</context>
<context>
    <name>SettingsDialog</name>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Main</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Output directory:</source>
        <translation>Ausgabeordner:</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>Format:</translation>
    </message>
    <message>
        <source>Quality:</source>
        <translation>Qualität:</translation>
    </message>
    <message>
        <source>Samplerate:</source>
        <translation>Abtastrate:</translation>
    </message>
    <message>
        <source>Channels:</source>
        <translation>Kanäle:</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Erweitert</translation>
    </message>
    <message>
        <source>FFmpeg binary:</source>
        <translation>FFmpeg-Pfad:</translation>
    </message>
    <message>
        <source>This option may speed up the process in some cases by copying files which are already in the output format and skipping files which has already been converted. This will not change the bitrate or samplerate of the output file!</source>
        <translation>Diese Option kann den Vorgang in manchen Fällen beschleunigen: Dateien, die bereits im Ausgabeformat vorliegen, werden kopiert, und bereits konvertierte Dateien werden ausgelassen. Bitrate und Abtastrate der Ausgabedatei werden dabei nicht geändert!</translation>
    </message>
    <message>
        <source>Quick mode</source>
        <translation>Schnellmodus</translation>
    </message>
    <message>
        <source>How many files to process at the same time.
Select 0 to use all CPU threads.</source>
        <translation>Wie viele Dateien gleichzeitig verarbeitet werden.
Wählen Sie 0, um alle CPU-Threads zu nutzen.</translation>
    </message>
    <message>
        <source>Threads:</source>
        <translation>Threads:</translation>
    </message>
    <message>
        <source>SoX is slower, but results in higher quality. This option requires FFmpeg compiled with libsoxr.</source>
        <translation>SoX ist langsamer, liefert aber eine höhere Qualität. Diese Option erfordert ein mit libsoxr kompiliertes FFmpeg.</translation>
    </message>
    <message>
        <source>Use SoX resampler</source>
        <translation>SoX-Resampler verwenden</translation>
    </message>
    <message>
        <source>Copy any file not containing audio to the output directory</source>
        <translation>Dateien ohne Audioinhalt unverändert in den Ausgabeordner kopieren</translation>
    </message>
    <message>
        <source>Copy non-audio files</source>
        <translation>Nicht-Audiodateien kopieren</translation>
    </message>
    <message>
        <source>Filters</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>Preset:</source>
        <translation>Voreinstellung:</translation>
    </message>
    <message>
        <source>Keep</source>
        <translation>Beibehalten</translation>
    </message>
    <message>
        <source>1 (Mono)</source>
        <translation>1 (Mono)</translation>
    </message>
    <message>
        <source>2 (Stereo)</source>
        <translation>2 (Stereo)</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>Deaktiviert</translation>
    </message>
    <message>
        <source>Increase volume</source>
        <translation>Lautstärke erhöhen</translation>
    </message>
    <message>
        <source>Reduce volume</source>
        <translation>Lautstärke verringern</translation>
    </message>
    <message>
        <source>Fade-in and fade-out</source>
        <translation>Ein- und Ausblenden</translation>
    </message>
    <message>
        <source>Bass boost</source>
        <translation>Bassverstärkung</translation>
    </message>
    <message>
        <source>Speed up</source>
        <translation>Beschleunigen</translation>
    </message>
    <message>
        <source>Open Directory</source>
        <translation>Ordner öffnen</translation>
    </message>
    <message>
        <source>Gives each output the front cover of its input, or else the folder&apos;s cover, folder, front or albumart picture.</source>
        <translation>Gibt jeder Ausgabe das Titelbild ihrer Eingabe, sonst das Bild cover, folder, front oder albumart aus deren Ordner.</translation>
    </message>
    <message>
        <source>Cover art</source>
        <translation>Cover-Bilder</translation>
    </message>
    <message>
        <source>Measures each file&apos;s loudness while converting it and writes ReplayGain track and album gain tags (R128 gain for Opus).</source>
        <translation>Misst beim Konvertieren die Lautheit jeder Datei und schreibt ReplayGain-Tags für Titel und Album (bei Opus R128-Verstärkung).</translation>
    </message>
    <message>
        <source>ReplayGain tags</source>
        <translation>ReplayGain-Tags</translation>
    </message>
    <message>
        <source>The folder the outputs go to. {sourcedir} stands for the whole folder of each input, so /out/{sourcedir} mirrors every input&apos;s absolute path below /out. {subfolder} stands for the input&apos;s folder below the folder it was added with (empty for a file added alone), so /out/{subfolder} keeps only the added tree&apos;s shape.</source>
        <translation>Der Ordner für die Ausgaben. {sourcedir} steht für den ganzen Ordner jeder Eingabe, /out/{sourcedir} bildet also den absoluten Pfad jeder Eingabe unter /out nach. {subfolder} steht für den Ordner der Eingabe unterhalb des Ordners, mit dem sie hinzugefügt wurde (leer für eine einzeln hinzugefügte Datei), /out/{subfolder} behält also nur die Gestalt des hinzugefügten Baums.</translation>
    </message>
    <message>
        <source>Names</source>
        <translation>Namen</translation>
    </message>
    <message>
        <source>File name:</source>
        <translation>Dateiname:</translation>
    </message>
    <message>
        <source>Empty: each output keeps its input&apos;s name. A tag the file lacks gives: {title} the input&apos;s name, {artist} and {albumartist} &quot;Unknown Artist&quot;, {album} &quot;Unknown Album&quot;, {track} 00, {disc} 1, {year} 0000, {genre} &quot;Unknown Genre&quot;, {composer} &quot;Unknown Composer&quot;. Characters that FAT, exFAT or NTFS refuse become _.</source>
        <translation>Leer: Jede Ausgabe behält den Namen ihrer Eingabe. Fehlt der Datei ein Tag, ergibt {title} den Namen der Eingabe, {artist} und {albumartist} „Unknown Artist“, {album} „Unknown Album“, {track} 00, {disc} 1, {year} 0000, {genre} „Unknown Genre“, {composer} „Unknown Composer“. Zeichen, die FAT, exFAT oder NTFS ablehnen, werden zu _.</translation>
    </message>
    <message>
        <source>Placeholders: {title} {artist} {albumartist} {album} {track} {disc} {year} {genre} {composer} {basename} {subfolder}. A / makes folders.</source>
        <translation>Platzhalter: {title} {artist} {albumartist} {album} {track} {disc} {year} {genre} {composer} {basename} {subfolder}. Ein / legt Ordner an.</translation>
    </message>
    <message>
        <source>Gives each output the modification time of its input.</source>
        <translation>Gibt jeder Ausgabe die Änderungszeit ihrer Eingabe.</translation>
    </message>
    <message>
        <source>Keep file times</source>
        <translation>Dateizeiten beibehalten</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Artist</source>
        <translation>Künstler</translation>
    </message>
    <message>
        <source>Album</source>
        <translation>Album</translation>
    </message>
    <message>
        <source>Example: %1</source>
        <translation>Beispiel: %1</translation>
    </message>
</context>
<context>
    <name>TagCopy</name>
    <message>
        <source>tags and cover not copied: the input&apos;s tags could not be read</source>
        <translation>Tags und Cover nicht übernommen: Die Tags der Eingabe konnten nicht gelesen werden</translation>
    </message>
    <message>
        <source>tags and cover not copied: the output&apos;s tags could not be written</source>
        <translation>Tags und Cover nicht übernommen: Die Tags der Ausgabe konnten nicht geschrieben werden</translation>
    </message>
</context>
</TS>
