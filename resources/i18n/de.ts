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
    <name>FFmpegTask</name>
    <message>
        <source>The encoder could not be started</source>
        <translation>Der Encoder konnte nicht gestartet werden</translation>
    </message>
    <message>
        <source>Stopped</source>
        <translation>Abgebrochen</translation>
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
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Drop files or directories here</source>
        <translation>Dateien oder Ordner hierher ziehen</translation>
    </message>
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
</context>
</TS>
