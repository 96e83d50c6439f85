<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>FrameProgram</name>
    <message>
        <source>%1: not yet available</source>
        <translation>%1: noch nicht verfügbar</translation>
    </message>
    <message>
        <source>%1: could not be opened</source>
        <translation>%1: konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>%1: no picture written</source>
        <translation>%1: kein Bild geschrieben</translation>
    </message>
    <message>
        <source>%1: did not finish its release</source>
        <translation>%1: hat die Freigabe nicht abgeschlossen</translation>
    </message>
    <message>
        <source>frame application: %1</source>
        <translation>Rahmenapplikation: %1</translation>
    </message>
    <message numerus="yes">
        <source>%n view picture(s) written to %1</source>
        <translation>
            <numerusform>%n Bild einer Ansicht nach %1 geschrieben</numerusform>
            <numerusform>%n Bilder von Ansichten nach %1 geschrieben</numerusform>
        </translation>
    </message>
    <message>
        <source>Data set cannot be read</source>
        <translation>Datensatz kann nicht gelesen werden</translation>
    </message>
    <message>
        <source>Start with a new data set saved as %1? The file that cannot be read stays as it is.</source>
        <translation>Mit einem neuen Datensatz beginnen, gespeichert als %1? Die Datei, die nicht gelesen werden kann, bleibt unverändert.</translation>
    </message>
    <message>
        <source>Start with a new data set</source>
        <translation>Mit neuem Datensatz beginnen</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Data set cannot be written</source>
        <translation>Datensatz kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>There are no texts in the language &apos;%1&apos; (available: %2); using %3.</source>
        <translation>Für die Sprache &apos;%1&apos; gibt es keine Texte (verfügbar: %2); es gilt %3.</translation>
    </message>
    <message>
        <source>Frame application for the views of the output module DO8, running on a simulated module.</source>
        <translation>Rahmenapplikation für die Ansichten der Ausgabebaugruppe DO8, mit einer simulierten Baugruppe.</translation>
    </message>
    <message>
        <source>Data set file (created when missing).</source>
        <translation>Datensatzdatei (wird angelegt, wenn sie fehlt).</translation>
    </message>
    <message>
        <source>file</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Open every view offscreen, write a PNG of each into &lt;folder&gt; and exit (the default without a display).</source>
        <translation>Jede Ansicht ohne Bildschirm öffnen, ein PNG jeder Ansicht in &lt;Ordner&gt; schreiben und beenden (Voreinstellung ohne Anzeige).</translation>
    </message>
    <message>
        <source>folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Print &quot;painted&quot; and exit once the window has been painted for the first time (for measuring the start-up).</source>
        <translation>&quot;painted&quot; ausgeben und beenden, sobald das Fenster zum ersten Mal gezeichnet ist (zum Messen der Startzeit).</translation>
    </message>
    <message>
        <source>Answer latency of the simulated module in ms.</source>
        <translation>Antwortzeit der simulierten Baugruppe in ms.</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Language of the texts: %1 (default: from LANGUAGE, LC_ALL, LC_MESSAGES or LANG).</source>
        <translation>Sprache der Texte: %1 (Voreinstellung: aus LANGUAGE, LC_ALL, LC_MESSAGES oder LANG).</translation>
    </message>
    <message>
        <source>language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>No display: writing pictures of the views instead (data set %1).</source>
        <translation>Keine Anzeige: Stattdessen werden Bilder der Ansichten geschrieben (Datensatz %1).</translation>
    </message>
</context>
<context>
    <name>rq16::frameapp::FrameWindow</name>
    <message>
        <source>Parameter</source>
        <translation>Parameter</translation>
    </message>
    <message>
        <source>Diagnosis</source>
        <translation>Diagnose</translation>
    </message>
    <message>
        <source>Observation</source>
        <translation>Beobachtung</translation>
    </message>
    <message>
        <source>Simulation</source>
        <translation>Simulation</translation>
    </message>
    <message>
        <source>Identification</source>
        <translation>Identifikation</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>RQ16 frame application - output module DO8 (simulated)</source>
        <translation>RQ16 Rahmenapplikation - Ausgabebaugruppe DO8 (simuliert)</translation>
    </message>
    <message>
        <source>Functions</source>
        <translation>Funktionen</translation>
    </message>
    <message>
        <source>Data set</source>
        <translation>Datensatz</translation>
    </message>
    <message>
        <source>Simulated module</source>
        <translation>Simulierte Baugruppe</translation>
    </message>
    <message>
        <source>Events</source>
        <translation>Ereignisse</translation>
    </message>
    <message>
        <source>Simulated module on slot %1</source>
        <translation>Simulierte Baugruppe auf Steckplatz %1</translation>
    </message>
    <message>
        <source>%1 (not yet available)</source>
        <translation>%1 (noch nicht verfügbar)</translation>
    </message>
    <message>
        <source>Open %1</source>
        <translation>%1 öffnen</translation>
    </message>
    <message>
        <source>This view is not built into the library yet.</source>
        <translation>Diese Ansicht ist noch nicht in die Bibliothek eingebaut.</translation>
    </message>
    <message>
        <source>Data set lock</source>
        <translation>Datensatzsperre</translation>
    </message>
    <message>
        <source>This DTM holds it</source>
        <translation>Dieser DTM hält sie</translation>
    </message>
    <message>
        <source>Another user holds it</source>
        <translation>Ein anderer Benutzer hält sie</translation>
    </message>
    <message>
        <source>Released</source>
        <translation>Freigegeben</translation>
    </message>
    <message>
        <source>user name</source>
        <translation>Benutzername</translation>
    </message>
    <message>
        <source>data set lock: %1 (%2)</source>
        <translation>Datensatzsperre: %1 (%2)</translation>
    </message>
    <message>
        <source>this DTM</source>
        <translation>dieser DTM</translation>
    </message>
    <message>
        <source>other user</source>
        <translation>anderer Benutzer</translation>
    </message>
    <message>
        <source>released</source>
        <translation>freigegeben</translation>
    </message>
    <message>
        <source>Kernel state</source>
        <translation>Kernel-Zustand</translation>
    </message>
    <message>
        <source>4: configured offline, 6: online</source>
        <translation>4: offline projektiert, 6: online</translation>
    </message>
    <message>
        <source>Reload data set</source>
        <translation>Datensatz neu laden</translation>
    </message>
    <message>
        <source>Read the data set file again, as after a change by another tool</source>
        <translation>Die Datensatzdatei erneut lesen, wie nach einer Änderung durch ein anderes Werkzeug</translation>
    </message>
    <message>
        <source>The data set in use is kept.</source>
        <translation>Der verwendete Datensatz bleibt erhalten.</translation>
    </message>
    <message>
        <source>data set reloaded</source>
        <translation>Datensatz neu geladen</translation>
    </message>
    <message>
        <source>Contents</source>
        <translation>Inhalt</translation>
    </message>
    <message>
        <source>No fault panel in this build.</source>
        <translation>In diesem Build gibt es keine Fehlerauswahl.</translation>
    </message>
    <message>
        <source>Views already open keep their language.</source>
        <translation>Bereits offene Ansichten behalten ihre Sprache.</translation>
    </message>
    <message>
        <source>language &apos;%1&apos; has no texts; keeping %2</source>
        <translation>Sprache &apos;%1&apos; hat keine Texte; %2 bleibt</translation>
    </message>
    <message>
        <source>language of views opened from now on: %1</source>
        <translation>Sprache der ab jetzt geöffneten Ansichten: %1</translation>
    </message>
    <message>
        <source>could not open %1</source>
        <translation>%1 konnte nicht geöffnet werden</translation>
    </message>
    <message>
        <source>opened %1 as %2</source>
        <translation>%1 geöffnet als %2</translation>
    </message>
    <message>
        <source>view %1 destroyed</source>
        <translation>Ansicht %1 zerstört</translation>
    </message>
    <message>
        <source>error [%1]: %2</source>
        <translation>Fehler [%1]: %2</translation>
    </message>
    <message>
        <source>Device message</source>
        <translation>Gerätemeldung</translation>
    </message>
    <message>
        <source>data set save requested</source>
        <translation>Speichern des Datensatzes angefordert</translation>
    </message>
    <message>
        <source>data set unlock requested</source>
        <translation>Freigabe des Datensatzes angefordert</translation>
    </message>
    <message>
        <source>data set written to %1</source>
        <translation>Datensatz geschrieben nach %1</translation>
    </message>
    <message>
        <source>&lt;b&gt;%1&lt;/b&gt;, slot %2&lt;br&gt;Parameter bytes: &lt;tt&gt;%3&lt;/tt&gt;&lt;br&gt;File: %4</source>
        <translation>&lt;b&gt;%1&lt;/b&gt;, Steckplatz %2&lt;br&gt;Parameterbytes: &lt;tt&gt;%3&lt;/tt&gt;&lt;br&gt;Datei: %4</translation>
    </message>
    <message>
        <source>(in memory)</source>
        <translation>(im Speicher)</translation>
    </message>
    <message>
        <source>&amp;Functions</source>
        <translation>F&amp;unktionen</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>&amp;Fenster</translation>
    </message>
    <message>
        <source>&amp;Close view</source>
        <translation>Ansicht &amp;schließen</translation>
    </message>
    <message>
        <source>&amp;Next view</source>
        <translation>&amp;Nächste Ansicht</translation>
    </message>
    <message>
        <source>&amp;Previous view</source>
        <translation>&amp;Vorherige Ansicht</translation>
    </message>
    <message>
        <source>%1 panel</source>
        <translation>Tafel %1</translation>
    </message>
</context>
<context>
    <name>rq16::frameapp::SimulatorPanel</name>
    <message>
        <source>Traffic</source>
        <translation>Busverkehr</translation>
    </message>
    <message>
        <source>Module code</source>
        <translation>Baugruppencode</translation>
    </message>
    <message>
        <source>codes 1..11, e.g. 1 5</source>
        <translation>Codes 1..11, z. B. 1 5</translation>
    </message>
    <message>
        <source>Channel %1</source>
        <translation>Kanal %1</translation>
    </message>
    <message>
        <source>Telegram</source>
        <translation>Telegramm</translation>
    </message>
    <message>
        <source>Diagnosis</source>
        <translation>Diagnose</translation>
    </message>
    <message>
        <source>0: no module fault; 1 to 9: known faults</source>
        <translation>0: kein Baugruppenfehler; 1 bis 9: bekannte Fehler</translation>
    </message>
    <message>
        <source>well formed</source>
        <translation>korrekt</translation>
    </message>
    <message>
        <source>descending channels</source>
        <translation>Kanäle absteigend</translation>
    </message>
    <message>
        <source>channel above 8</source>
        <translation>Kanal über 8</translation>
    </message>
    <message>
        <source>I&amp;&amp;M functions</source>
        <translation>I&amp;&amp;M-Funktionen</translation>
    </message>
    <message>
        <source>Connection</source>
        <translation>Verbindung</translation>
    </message>
    <message>
        <source>Refuse connect</source>
        <translation>Verbindungsaufbau ablehnen</translation>
    </message>
    <message>
        <source>Negative connect answer</source>
        <translation>Negative Antwort auf Verbindungsaufbau</translation>
    </message>
    <message>
        <source>Unparsable connect answer</source>
        <translation>Unlesbare Antwort auf Verbindungsaufbau</translation>
    </message>
    <message>
        <source>Refuse transactions</source>
        <translation>Transaktionen ablehnen</translation>
    </message>
    <message>
        <source>Negative answers</source>
        <translation>Negative Antworten</translation>
    </message>
    <message>
        <source>Unparsable answers</source>
        <translation>Unlesbare Antworten</translation>
    </message>
    <message>
        <source>Answers without data</source>
        <translation>Antworten ohne Daten</translation>
    </message>
    <message>
        <source>Refuse disconnect</source>
        <translation>Verbindungsabbau ablehnen</translation>
    </message>
    <message>
        <source>Extra answer with foreign id</source>
        <translation>Zusätzliche Antwort mit fremder ID</translation>
    </message>
    <message>
        <source>Latency</source>
        <translation>Antwortzeit</translation>
    </message>
    <message>
        <source>Lose after N requests</source>
        <translation>Nach N Anfragen verlieren</translation>
    </message>
    <message>
        <source>Lose connection now</source>
        <translation>Verbindung jetzt verlieren</translation>
    </message>
    <message>
        <source>Forcing</source>
        <translation>Forcen</translation>
    </message>
    <message>
        <source>Forcing lapses when the enable request is not repeated within this time.</source>
        <translation>Das Forcen erlischt, wenn die Freigabeanforderung nicht innerhalb dieser Zeit wiederholt wird.</translation>
    </message>
    <message>
        <source>Lapses after</source>
        <translation>Erlischt nach</translation>
    </message>
    <message>
        <source>Enabled, lapses in %1 s</source>
        <translation>Aktiv, erlischt in %1 s</translation>
    </message>
    <message>
        <source>Not enabled</source>
        <translation>Nicht aktiv</translation>
    </message>
    <message>
        <source>force mask %1, force values %2</source>
        <translation>Forcemaske %1, Forcewerte %2</translation>
    </message>
</context>
</TS>
