<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>CalendarExport</name>
    <message>
        <source>Missing Info</source>
        <translation>Angaben fehlen</translation>
    </message>
    <message>
        <source>Your tasks changed since the list was built. Rebuild before exporting?</source>
        <translation>Ihre Aufgaben haben sich geändert, seit die Liste erstellt wurde. Vor dem Export neu aufbauen?</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Bestätigen</translation>
    </message>
    <message>
        <source>Please add some tasks to your project.</source>
        <translation>Bitte fügen Sie Ihrem Projekt Aufgaben hinzu.</translation>
    </message>
    <message>
        <source>Please enter a project name.</source>
        <translation>Bitte geben Sie einen Projektnamen ein.</translation>
    </message>
    <message>
        <source> No task had a whole working day, so the file holds no calendar events.</source>
        <translation> Keine Aufgabe hatte einen ganzen Arbeitstag, daher enthält die Datei keine Kalendertermine.</translation>
    </message>
    <message>
        <source> Google Calendar imports files of up to 1 MB: please split the project or shorten it before importing this file.</source>
        <translation> Google Kalender importiert Dateien bis 1 MB: Bitte teilen oder kürzen Sie das Projekt, bevor Sie diese Datei importieren.</translation>
    </message>
    <message>
        <source>Done!</source>
        <translation>Fertig!</translation>
    </message>
    <message>
        <source>Export to Google Calendar</source>
        <translation>Nach Google Kalender exportieren</translation>
    </message>
    <message>
        <source>CSV file (*.csv)</source>
        <translation>CSV-Datei (*.csv)</translation>
    </message>
    <message>
        <source>Overwrite the previous .csv file (maybe from another project)?</source>
        <translation>Die bisherige .csv-Datei (vielleicht von einem anderen Projekt) überschreiben?</translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="vanished">Fehler</translation>
    </message>
    <message>
        <source> Events of several working days run through the nights between them; for working hours only, turn on File → CSV: One Event per Working Day and export again.</source>
        <translation> Termine über mehrere Arbeitstage laufen durch die Nächte dazwischen; für reine Arbeitszeiten schalten Sie Datei → CSV: ein Termin je Arbeitstag ein und exportieren erneut.</translation>
    </message>
    <message>
        <source>Done! The software will now open a folder which contains a .csv file with your project info. You can now add this project (.csv) to your G calendar. For more details, please read the user manual.</source>
        <translation>Fertig! Das Programm öffnet jetzt einen Ordner mit einer .csv-Datei, die Ihr Projekt enthält. Sie können dieses Projekt (.csv) nun in Ihren Google Kalender aufnehmen. Mehr dazu steht im Benutzerhandbuch.</translation>
    </message>
    <message>
        <source>Done! Your project info was saved to the .csv file %1, but its folder could not be opened. You can now add this project (.csv) to your G calendar. For more details, please read the user manual.</source>
        <translation>Fertig! Ihr Projekt wurde in der .csv-Datei %1 gespeichert, aber ihr Ordner ließ sich nicht öffnen. Sie können dieses Projekt (.csv) nun in Ihren Google Kalender aufnehmen. Mehr dazu steht im Benutzerhandbuch.</translation>
    </message>
    <message>
        <source>Export to iCalendar</source>
        <translation>Als iCalendar exportieren</translation>
    </message>
    <message>
        <source>iCalendar file (*.ics)</source>
        <translation>iCalendar-Datei (*.ics)</translation>
    </message>
    <message>
        <source>Overwrite the previous .ics file (maybe from another project)?</source>
        <translation>Die bisherige .ics-Datei (vielleicht von einem anderen Projekt) überschreiben?</translation>
    </message>
    <message>
        <source>Done! The software will now open a folder which contains a .ics file with your project. You can import it into any calendar program: Google Calendar, Outlook, Apple Calendar or Thunderbird.</source>
        <translation>Fertig! Das Programm öffnet jetzt einen Ordner mit einer .ics-Datei, die Ihr Projekt enthält. Sie können sie in jedes Kalenderprogramm importieren: Google Kalender, Outlook, Apple Kalender oder Thunderbird.</translation>
    </message>
    <message>
        <source>Done! Your project was saved to the .ics file %1, but its folder could not be opened. You can import it into any calendar program: Google Calendar, Outlook, Apple Calendar or Thunderbird.</source>
        <translation>Fertig! Ihr Projekt wurde in der .ics-Datei %1 gespeichert, aber ihr Ordner ließ sich nicht öffnen. Sie können sie in jedes Kalenderprogramm importieren: Google Kalender, Outlook, Apple Kalender oder Thunderbird.</translation>
    </message>
</context>
<context>
    <name>Form1Controls</name>
    <message>
        <source>Try to keep it short</source>
        <translation>Möglichst kurz halten</translation>
    </message>
    <message>
        <source>One task per line, its days after a plus sign (Design + 5); a line starting with // runs beside the one above</source>
        <translation>Eine Aufgabe pro Zeile, ihre Tage nach einem Pluszeichen (Entwurf + 5); eine Zeile, die mit // beginnt, läuft neben der darüber</translation>
    </message>
    <message>
        <source>Days, counted from the current task</source>
        <translation>Tage, gezählt ab der aktuellen Aufgabe</translation>
    </message>
    <message>
        <source>Working day starts at</source>
        <translation>Arbeitstag beginnt um</translation>
    </message>
    <message>
        <source>Working day ends at</source>
        <translation>Arbeitstag endet um</translation>
    </message>
    <message>
        <source>Task list</source>
        <translation>Aufgabenliste</translation>
    </message>
    <message>
        <source>Each task with its start and end; Delete removes the selected task, the menu key opens its actions</source>
        <translation>Jede Aufgabe mit Beginn und Ende; Entf entfernt die ausgewählte Aufgabe, die Menütaste öffnet ihre Aktionen</translation>
    </message>
    <message>
        <source>Event list</source>
        <translation>Terminliste</translation>
    </message>
    <message>
        <source>Project start date</source>
        <translation>Projektbeginn</translation>
    </message>
    <message>
        <source>Previous month</source>
        <translation>Voriger Monat</translation>
    </message>
    <message>
        <source>Next month</source>
        <translation>Nächster Monat</translation>
    </message>
    <message>
        <source>Year</source>
        <translation>Jahr</translation>
    </message>
    <message>
        <source>Days of the month</source>
        <translation>Tage des Monats</translation>
    </message>
    <message>
        <source>Ambrel!</source>
        <translation>Ambrel!</translation>
    </message>
    <message>
        <source>The Easiest and Fastest way to Bring Your Projects to Life!</source>
        <translation>Ihre Projekte – einfach und schnell verwirklicht!</translation>
    </message>
    <message>
        <source>Export Project to .CSV For G Calendar</source>
        <translation>Als .CSV für Google Kalender exportieren</translation>
    </message>
    <message>
        <source>Project Name:</source>
        <translation>Projektname:</translation>
    </message>
    <message>
        <source>Try to Keep it Short.</source>
        <translation>Lieber kurz halten.</translation>
    </message>
    <message>
        <source>Enter 1 Task Per Line. </source>
        <translation>1 Aufgabe pro Zeile. </translation>
    </message>
    <message>
        <source>Tips</source>
        <translation>Tipps</translation>
    </message>
    <message>
        <source>Project Start date:</source>
        <translation>Projektbeginn:</translation>
    </message>
    <message>
        <source>I want to start running this project right away.</source>
        <translation>Ich möchte dieses Projekt sofort beginnen.</translation>
    </message>
    <message>
        <source>Start this project on </source>
        <translation>Projekt beginnen am </translation>
    </message>
    <message>
        <source>Adjust Tasks to My Working Week.</source>
        <translation>An meine Arbeitswoche anpassen.</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellen</translation>
    </message>
    <message>
        <source>Project Tasks:</source>
        <translation>Projektaufgaben:</translation>
    </message>
    <message>
        <source>Create Project!</source>
        <translation>Projekt erstellen!</translation>
    </message>
    <message>
        <source>GCalendar</source>
        <translation>Google Kalender</translation>
    </message>
    <message>
        <source>Tip: You can set the duration of each task at the end of it by using &quot;+ [Days]&quot;. Example:</source>
        <translation>Tipp: Die Dauer jeder Aufgabe legen Sie an ihrem Ende mit „+ [Tage]“ fest. Beispiel:</translation>
    </message>
    <message>
        <source>Create Product + 10</source>
        <translation>Produkt erstellen + 10</translation>
    </message>
    <message>
        <source>This will assign 10 days to this task. If there&apos;s another task, its start date will be calculated to begin when the previous one ends.</source>
        <translation>Damit bekommt diese Aufgabe 10 Tage. Folgt eine weitere Aufgabe, beginnt sie, wenn die vorige endet.</translation>
    </message>
    <message>
        <source>Task:</source>
        <translation>Aufgabe:</translation>
    </message>
    <message>
        <source>Task ID:</source>
        <translation>Aufgaben-ID:</translation>
    </message>
    <message>
        <source>Start Date:</source>
        <translation>Beginn:</translation>
    </message>
    <message>
        <source>Advance the whole project</source>
        <translation>Das ganze Projekt vorziehen</translation>
    </message>
    <message>
        <source>Post-Pone the whole project for </source>
        <translation>Das ganze Projekt verschieben um </translation>
    </message>
    <message>
        <source>days (counted from the current task.)</source>
        <translation>Tage (ab der aktuellen Aufgabe).</translation>
    </message>
    <message>
        <source>Post-Pone</source>
        <translation>Verschieben</translation>
    </message>
    <message>
        <source>Convert Items to List</source>
        <translation>Einträge in Liste umwandeln</translation>
    </message>
    <message>
        <source>Remove Items</source>
        <translation>Einträge entfernen</translation>
    </message>
    <message>
        <source>Remove Selected</source>
        <translation>Auswahl entfernen</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Drucken</translation>
    </message>
</context>
<context>
    <name>MainMenus</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>&amp;Neu</translation>
    </message>
    <message>
        <source>&amp;Open…</source>
        <translation>Ö&amp;ffnen…</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>&amp;Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save &amp;As…</source>
        <translation>Speichern &amp;unter…</translation>
    </message>
    <message>
        <source>&amp;Export to Google Calendar (.csv)</source>
        <translation>Nach Google &amp;Kalender exportieren (.csv)</translation>
    </message>
    <message>
        <source>CSV: One Event per &amp;Working Day</source>
        <translation>CSV: ein Termin je &amp;Arbeitstag</translation>
    </message>
    <message>
        <source>Export to &amp;iCalendar (.ics)…</source>
        <translation>Als &amp;iCalendar exportieren (.ics)…</translation>
    </message>
    <message>
        <source>Export &amp;Timeline…</source>
        <translation>Zeit&amp;leiste exportieren…</translation>
    </message>
    <message>
        <source>P&amp;ublish to Calendar…</source>
        <translation>In Kalender &amp;veröffentlichen…</translation>
    </message>
    <message>
        <source>&amp;Print List…</source>
        <translation>Liste &amp;drucken…</translation>
    </message>
    <message>
        <source>Print Pre&amp;view…</source>
        <translation>D&amp;ruckvorschau…</translation>
    </message>
    <message>
        <source>Print Ti&amp;meline…</source>
        <translation>Z&amp;eitleiste drucken…</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
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
        <source>&amp;Tasks</source>
        <translation>A&amp;ufgaben</translation>
    </message>
    <message>
        <source>&amp;Rebuild</source>
        <translation>&amp;Neu aufbauen</translation>
    </message>
    <message>
        <source>&amp;Postpone or Advance from Selected Task…</source>
        <translation>Ab ausgewählter Aufgabe &amp;verschieben oder vorziehen…</translation>
    </message>
    <message>
        <source>Mark &amp;Done</source>
        <translation>Als &amp;erledigt markieren</translation>
    </message>
    <message>
        <source>Remove &amp;Selected Task</source>
        <translation>Ausgewählte Aufgabe ent&amp;fernen</translation>
    </message>
    <message>
        <source>Remove &amp;All Tasks</source>
        <translation>&amp;Alle Aufgaben entfernen</translation>
    </message>
    <message>
        <source>&amp;Turn List Back into Text</source>
        <translation>Liste in &amp;Text zurückverwandeln</translation>
    </message>
    <message>
        <source>Wait for parallel tasks</source>
        <translation>Auf parallele Aufgaben warten</translation>
    </message>
    <message>
        <source>&amp;Settings</source>
        <translation>&amp;Einstellungen</translation>
    </message>
    <message>
        <source>&amp;Working Week…</source>
        <translation>&amp;Arbeitswoche…</translation>
    </message>
    <message>
        <source>&amp;Days Off…</source>
        <translation>&amp;Freie Tage…</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;User Manual</source>
        <translation>&amp;Benutzerhandbuch</translation>
    </message>
    <message>
        <source>&amp;Tips</source>
        <translation>&amp;Tipps</translation>
    </message>
    <message>
        <source>&amp;About Ambrel</source>
        <translation>Ü&amp;ber Ambrel</translation>
    </message>
    <message>
        <source>No Recent Projects</source>
        <translation>Keine zuletzt geöffneten Projekte</translation>
    </message>
    <message>
        <source>&amp;Clear</source>
        <translation>&amp;Leeren</translation>
    </message>
    <message>
        <source>Ambrel Pro v1.4
The easiest and fastest way to bring your projects to life.

Qt %1
libical %2</source>
        <translation>Ambrel Pro v1.4
Ihre Projekte – einfach und schnell verwirklicht.

Qt %1
libical %2</translation>
    </message>
    <message>
        <source>About Ambrel</source>
        <translation>Über Ambrel</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>Neu laden</translation>
    </message>
    <message>
        <source>Overwrite</source>
        <translation>Überschreiben</translation>
    </message>
    <message>
        <source>Save As…</source>
        <translation>Speichern unter…</translation>
    </message>
</context>
<context>
    <name>PainterLinePrinter</name>
    <message>
        <source>No printer is installed. Please install a printer and try again.</source>
        <translation>Es ist kein Drucker eingerichtet. Bitte richten Sie einen Drucker ein und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>The printer could not be started. Please check that it is switched on and ready.</source>
        <translation>Der Drucker ließ sich nicht starten. Bitte prüfen Sie, ob er eingeschaltet und bereit ist.</translation>
    </message>
    <message>
        <source>The file %1 could not be written.</source>
        <translation>Die Datei %1 konnte nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>The printer stopped after page %1.</source>
        <translation>Der Drucker hat nach Seite %1 angehalten.</translation>
    </message>
    <message>
        <source>The printer reported an error, so the task list may not have been printed.</source>
        <translation>Der Drucker hat einen Fehler gemeldet, die Aufgabenliste wurde daher vielleicht nicht gedruckt.</translation>
    </message>
</context>
<context>
    <name>PlanOptions</name>
    <message>
        <source>This project starts right away, so it now starts today, not on the day it was saved (%1). To keep a start date, choose &quot;Start this project on&quot;, pick the date on the calendar and save the project.</source>
        <translation>Dieses Projekt beginnt sofort, also jetzt heute und nicht am Tag, an dem es gespeichert wurde (%1). Um einen Beginn festzuhalten, wählen Sie „Projekt beginnen am“, wählen das Datum im Kalender und speichern das Projekt.</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Beginn</translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="vanished">Fehler</translation>
    </message>
</context>
<context>
    <name>Postpone</name>
    <message>
        <source>Please enter the number of days to move the project by: a whole number such as 15 to post-pone it, or -5 to advance it.</source>
        <translation>Bitte geben Sie an, um wie viele Tage das Projekt verschoben wird: eine ganze Zahl wie 15, um es zu verschieben, oder -5, um es vorzuziehen.</translation>
    </message>
</context>
<context>
    <name>Printing</name>
    <message>
        <source>Print List</source>
        <translation>Liste drucken</translation>
    </message>
    <message>
        <source>Print Preview</source>
        <translation>Druckvorschau</translation>
    </message>
    <message>
        <source>Print Timeline</source>
        <translation>Zeitleiste drucken</translation>
    </message>
    <message>
        <source>The printer reported an error, so the timeline may not have been printed.</source>
        <translation>Der Drucker hat einen Fehler gemeldet, die Zeitleiste wurde daher vielleicht nicht gedruckt.</translation>
    </message>
    <message>
        <source>Please add some tasks to your project.</source>
        <translation>Bitte fügen Sie Ihrem Projekt Aufgaben hinzu.</translation>
    </message>
    <message>
        <source>Missing Info</source>
        <translation>Angaben fehlen</translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="vanished">Fehler</translation>
    </message>
</context>
<context>
    <name>SettingsWindows</name>
    <message>
        <source>Error</source>
        <translation type="vanished">Fehler</translation>
    </message>
    <message>
        <source>Days Off</source>
        <translation>Freie Tage</translation>
    </message>
    <message>
        <source>Done!</source>
        <translation>Fertig!</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>These lines name no date and were left out:</source>
        <translation>Diese Zeilen nennen kein Datum und wurden ausgelassen:</translation>
    </message>
    <message numerus="yes">
        <source>and %n more.</source>
        <translation>
            <numerusform>und %n weitere.</numerusform>
            <numerusform>und %n weitere.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>WindowLook</name>
    <message>
        <source>Scroll sideways</source>
        <translation>Seitwärts blättern</translation>
    </message>
    <message>
        <source>Scroll up and down</source>
        <translation>Auf und ab blättern</translation>
    </message>
</context>
<context>
    <name>ambrel::DaysOffImportDialog</name>
    <message>
        <source>All day</source>
        <translation>Ganztägig</translation>
    </message>
    <message>
        <source>Import Days Off</source>
        <translation>Freie Tage importieren</translation>
    </message>
    <message>
        <source>Reading %1…</source>
        <translation>%1 wird gelesen…</translation>
    </message>
    <message>
        <source>Dates found</source>
        <translation>Gefundene Daten</translation>
    </message>
    <message>
        <source>Left out:</source>
        <translation>Ausgelassen:</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alle auswählen</translation>
    </message>
    <message>
        <source>Select None</source>
        <translation>Keine auswählen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Could not import %1: %2</source>
        <translation>%1 konnte nicht importiert werden: %2</translation>
    </message>
    <message>
        <source>%1 holds no dates.</source>
        <translation>%1 enthält keine Daten.</translation>
    </message>
    <message>
        <source>Left out</source>
        <translation>Ausgelassen</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Weekday</source>
        <translation>Wochentag</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
</context>
<context>
    <name>ambrel::DocumentActions</name>
    <message>
        <source>Ambrel projects (*.ambrel);;All files (*)</source>
        <translation>Ambrel-Projekte (*.ambrel);;Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Open Project</source>
        <translation>Projekt öffnen</translation>
    </message>
    <message>
        <source>Save changes to %1 before closing?</source>
        <translation>Änderungen an %1 vor dem Schließen speichern?</translation>
    </message>
    <message>
        <source>Unsaved Changes</source>
        <translation>Ungespeicherte Änderungen</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Unbenannt</translation>
    </message>
    <message>
        <source>Save Project As</source>
        <translation>Projekt speichern unter</translation>
    </message>
</context>
<context>
    <name>ambrel::ExportActions</name>
    <message>
        <source>Print Job Finished</source>
        <translation>Druckauftrag abgeschlossen</translation>
    </message>
</context>
<context>
    <name>ambrel::Form1</name>
    <message>
        <source>Error</source>
        <translation type="vanished">Fehler</translation>
    </message>
</context>
<context>
    <name>ambrel::HelpWindow</name>
    <message>
        <source>Ambrel User Manual</source>
        <translation>Ambrel-Benutzerhandbuch</translation>
    </message>
    <message>
        <source>◀ Back</source>
        <translation>◀ Zurück</translation>
    </message>
    <message>
        <source>Forward ▶</source>
        <translation>Vor ▶</translation>
    </message>
    <message>
        <source>Search the manual</source>
        <translation>Im Handbuch suchen</translation>
    </message>
    <message>
        <source>Lists the pages that hold every word; Enter opens the first</source>
        <translation>Zeigt die Seiten, die jedes Wort enthalten; die Eingabetaste öffnet die erste</translation>
    </message>
    <message>
        <source>Contents</source>
        <translation>Inhalt</translation>
    </message>
    <message>
        <source>Manual page</source>
        <translation>Handbuchseite</translation>
    </message>
    <message>
        <source>The manual is in English.</source>
        <translation>Das Handbuch gibt es vorerst nur auf Englisch.</translation>
    </message>
    <message>
        <source>&lt;h1&gt;The manual is not installed&lt;/h1&gt;&lt;p&gt;Ambrel looks for it in a folder &lt;code&gt;manual&lt;/code&gt; beside the program, and in &lt;code&gt;share/doc/ambrel/manual&lt;/code&gt; where it is installed.&lt;/p&gt;</source>
        <translation>&lt;h1&gt;Das Handbuch ist nicht installiert&lt;/h1&gt;&lt;p&gt;Ambrel sucht es in einem Ordner &lt;code&gt;manual&lt;/code&gt; neben dem Programm und in &lt;code&gt;share/doc/ambrel/manual&lt;/code&gt;, wo es installiert wird.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Clear the search</source>
        <translation>Suche leeren</translation>
    </message>
</context>
<context>
    <name>ambrel::ListActions</name>
    <message>
        <source>The task list is empty. Turn it back into text anyway, which empties the task box?</source>
        <translation>Die Aufgabenliste ist leer. Trotzdem in Text zurückverwandeln, wodurch das Aufgabenfeld leer wird?</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Bestätigen</translation>
    </message>
</context>
<context>
    <name>ambrel::PlanActions</name>
    <message>
        <source>Some days off were left out:
</source>
        <translation>Einige freie Tage wurden ausgelassen:
</translation>
    </message>
    <message>
        <source>Days Off</source>
        <translation>Freie Tage</translation>
    </message>
</context>
<context>
    <name>ambrel::PostponeDialog</name>
    <message>
        <source>Postpone or Advance</source>
        <translation>Verschieben oder vorziehen</translation>
    </message>
    <message>
        <source>Move &quot;%1&quot; and every task below it.
A negative number of days advances them.</source>
        <translation>„%1“ und jede Aufgabe darunter verschieben.
Eine negative Zahl von Tagen zieht sie vor.</translation>
    </message>
    <message>
        <source> days</source>
        <translation> Tage</translation>
    </message>
    <message>
        <source>A negative number of days advances the tasks</source>
        <translation>Eine negative Zahl von Tagen zieht die Aufgaben vor</translation>
    </message>
    <message>
        <source>&amp;Days:</source>
        <translation>&amp;Tage:</translation>
    </message>
</context>
<context>
    <name>ambrel::PublishDialog</name>
    <message>
        <source>Publish to Calendar</source>
        <translation>In Kalender veröffentlichen</translation>
    </message>
    <message>
        <source>New calendar named after the project</source>
        <translation>Neuer Kalender mit dem Namen des Projekts</translation>
    </message>
    <message>
        <source>&amp;Server address:</source>
        <translation>&amp;Serveradresse:</translation>
    </message>
    <message>
        <source>&amp;User name:</source>
        <translation>&amp;Benutzername:</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>&amp;Passwort:</translation>
    </message>
    <message>
        <source>&amp;Calendar:</source>
        <translation>&amp;Kalender:</translation>
    </message>
    <message>
        <source>&amp;Find Calendars</source>
        <translation>Kalender &amp;suchen</translation>
    </message>
    <message>
        <source>&amp;Other Calendar…</source>
        <translation>&amp;Anderer Kalender…</translation>
    </message>
    <message>
        <source>P&amp;ublish</source>
        <translation>&amp;Veröffentlichen</translation>
    </message>
    <message>
        <source>Publishing to %1…</source>
        <translation>Wird in %1 veröffentlicht…</translation>
    </message>
    <message>
        <source>Enter the password for %1.</source>
        <translation>Geben Sie das Passwort für %1 ein.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>No keyring is available: Ambrel cannot keep the password and asks for it each time.</source>
        <translation>Kein Schlüsselbund verfügbar: Ambrel kann das Passwort nicht aufbewahren und fragt jedes Mal danach.</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>%1 is reached over plain http: the password and the plan travel unencrypted, and anyone on the way can read or change them. Publish over plain http all the same?</source>
        <translation>%1 wird über einfaches http erreicht: Passwort und Plan gehen unverschlüsselt über das Netz, und jeder auf dem Weg kann sie lesen oder ändern. Trotzdem über einfaches http veröffentlichen?</translation>
    </message>
    <message>
        <source>The certificate of %1 could not be verified (%2).

Issued by: %3
SHA-256 fingerprint: %4

Trust this certificate for %1 from now on? Only do so if you know it is the server&apos;s own.</source>
        <translation>Das Zertifikat von %1 ließ sich nicht prüfen (%2).

Ausgestellt von: %3
SHA-256-Fingerabdruck: %4

Diesem Zertifikat für %1 von nun an vertrauen? Tun Sie das nur, wenn Sie wissen, dass es das eigene des Servers ist.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="vanished">Fehler</translation>
    </message>
    <message>
        <source>Looking for calendars…</source>
        <translation>Kalender werden gesucht…</translation>
    </message>
    <message>
        <source>The server refused the user name or password. Please enter them again.</source>
        <translation>Der Server hat Benutzername oder Passwort abgelehnt. Bitte geben Sie sie erneut ein.</translation>
    </message>
    <message>
        <source>No calendar for events was found there.</source>
        <translation>Dort wurde kein Kalender für Termine gefunden.</translation>
    </message>
    <message>
        <source>Choose the calendar to publish to.</source>
        <translation>Wählen Sie den Kalender, in dem veröffentlicht werden soll.</translation>
    </message>
    <message>
        <source>These events were changed in the calendar since they were published:

%1

Overwrite them with the plan? No keeps theirs.</source>
        <translation>Diese Termine wurden im Kalender geändert, seit sie veröffentlicht wurden:

%1

Mit dem Plan überschreiben? Nein behält die Fassung im Kalender.</translation>
    </message>
    <message>
        <source>Published to %1.</source>
        <translation>In %1 veröffentlicht.</translation>
    </message>
    <message>
        <source>Left as changed in the calendar: %1</source>
        <translation>Wie im Kalender geändert belassen: %1</translation>
    </message>
    <message>
        <source>No keyring is available: Ambrel could not keep the password.</source>
        <translation>Kein Schlüsselbund verfügbar: Ambrel konnte das Passwort nicht aufbewahren.</translation>
    </message>
    <message>
        <source>Calendar</source>
        <translation>Kalender</translation>
    </message>
    <message>
        <source>The address names the user %1, the user name field %2: give one.</source>
        <translation>Die Adresse nennt den Benutzer %1, das Feld Benutzername %2: Geben Sie nur einen an.</translation>
    </message>
    <message>
        <source>%1 was published to this calendar under the same project Id, and still holds it: this file is probably a copy of it. Publishing it takes that file&apos;s events away from the calendar.

Publish all the same? (Save As gives a copy an Id of its own.)</source>
        <translation>%1 wurde unter derselben Projekt-ID in diesen Kalender veröffentlicht und enthält sie noch: Diese Datei ist wahrscheinlich eine Kopie davon. Wenn Sie sie veröffentlichen, verschwinden die Termine jener Datei aus dem Kalender.

Trotzdem veröffentlichen? (Speichern unter gibt einer Kopie eine eigene ID.)</translation>
    </message>
</context>
<context>
    <name>ambrel::SaveGuard</name>
    <message>
        <source>File Changed</source>
        <translation>Datei geändert</translation>
    </message>
    <message>
        <source>%1 was changed by another program since it was opened or saved here.

Reload it (your changes here are lost), overwrite it with your changes (theirs are lost), or save your changes as another file?</source>
        <translation>%1 wurde von einem anderen Programm geändert, seit sie hier geöffnet oder gespeichert wurde.

Neu laden (Ihre Änderungen hier gehen verloren), mit Ihren Änderungen überschreiben (die anderen gehen verloren) oder Ihre Änderungen als andere Datei speichern?</translation>
    </message>
    <message>
        <source>%1 is read-only. Replace it anyway?</source>
        <translation>%1 ist schreibgeschützt. Trotzdem ersetzen?</translation>
    </message>
    <message>
        <source>%1 has other names (hard links), which would keep the earlier content. Save it as a file of its own?</source>
        <translation>%1 hat weitere Namen (harte Links), die den früheren Inhalt behalten würden. Als eigene Datei speichern?</translation>
    </message>
    <message>
        <source>Save Project</source>
        <translation>Projekt speichern</translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="vanished">Fehler</translation>
    </message>
    <message>
        <source>%1 was changed by another program. Reload it and lose your unsaved changes here?

No keeps them; saving then asks before it writes over the other program&apos;s version.</source>
        <translation>%1 wurde von einem anderen Programm geändert. Neu laden und Ihre ungespeicherten Änderungen hier verwerfen?

Nein behält sie; beim Speichern wird dann gefragt, bevor die Fassung des anderen Programms überschrieben wird.</translation>
    </message>
    <message>
        <source>%1 was changed by another program. Reload it?</source>
        <translation>%1 wurde von einem anderen Programm geändert. Neu laden?</translation>
    </message>
    <message>
        <source>Open Project</source>
        <translation>Projekt öffnen</translation>
    </message>
    <message>
        <source>%1 has an access list or extended attributes that the saved file could not be given: who may read it could change. Save it anyway?</source>
        <translation>%1 hat eine Zugriffsliste oder erweiterte Attribute, die die gespeicherte Datei nicht erhalten konnte: Wer sie lesen darf, könnte sich ändern. Trotzdem speichern?</translation>
    </message>
</context>
<context>
    <name>ambrel::TaskListModel</name>
    <message>
        <source>Starts In</source>
        <translation>Beginnt in</translation>
    </message>
    <message>
        <source>Ends In</source>
        <translation>Endet in</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Task</source>
        <translation>Aufgabe</translation>
    </message>
    <message>
        <source>Start Date</source>
        <translation>Beginn</translation>
    </message>
    <message>
        <source>End Date</source>
        <translation>Ende</translation>
    </message>
    <message>
        <source>Task Duration</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <source>Pending (Coming Soon)</source>
        <translation>Ausstehend (bald)</translation>
    </message>
    <message>
        <source>Pending</source>
        <translation>Ausstehend</translation>
    </message>
    <message>
        <source>Active</source>
        <translation>Läuft</translation>
    </message>
    <message>
        <source>Late</source>
        <translation>Verspätet</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Erledigt</translation>
    </message>
</context>
<context>
    <name>ambrel::TaskListPanel</name>
    <message>
        <source>1 line may not say what you meant — hover the mark.</source>
        <translation>1 Zeile sagt vielleicht nicht, was Sie meinten – zeigen Sie auf die Markierung.</translation>
    </message>
    <message numerus="yes">
        <source>%n lines may not say what you meant — hover the marks.</source>
        <translation>
            <numerusform>%n Zeile sagt vielleicht nicht, was Sie meinten – zeigen Sie auf die Markierung.</numerusform>
            <numerusform>%n Zeilen sagen vielleicht nicht, was Sie meinten – zeigen Sie auf die Markierungen.</numerusform>
        </translation>
    </message>
    <message>
        <source>The list is empty until the next rebuild; your task text still holds every task.</source>
        <translation>Die Liste bleibt bis zum nächsten Neuaufbau leer; Ihr Aufgabentext enthält weiterhin jede Aufgabe.</translation>
    </message>
    <message>
        <source>Only the task list can be painted.</source>
        <translation>Nur die Aufgabenliste kann gezeichnet werden.</translation>
    </message>
    <message>
        <source>Index out of bounds</source>
        <translation>Index außerhalb des Bereichs</translation>
    </message>
</context>
<context>
    <name>ambrel::TimelinePane</name>
    <message>
        <source>Export Timeline</source>
        <translation>Zeitleiste exportieren</translation>
    </message>
    <message>
        <source>Timeline</source>
        <translation>Zeitleiste</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Timeline</source>
        <translation>&amp;Zeitleiste</translation>
    </message>
    <message>
        <source>Zoom &amp;In</source>
        <translation>Ver&amp;größern</translation>
    </message>
    <message>
        <source>Zoom &amp;Out</source>
        <translation>Ver&amp;kleinern</translation>
    </message>
    <message>
        <source>&amp;Fit to Window</source>
        <translation>An &amp;Fenster anpassen</translation>
    </message>
    <message>
        <source>Please add some tasks to your project.</source>
        <translation>Bitte fügen Sie Ihrem Projekt Aufgaben hinzu.</translation>
    </message>
    <message>
        <source>Missing Info</source>
        <translation>Angaben fehlen</translation>
    </message>
    <message>
        <source>PNG picture (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)</source>
        <translation>PNG-Bild (*.png);;SVG-Zeichnung (*.svg);;PDF-Dokument (*.pdf)</translation>
    </message>
    <message>
        <source>The timeline can be saved only as a .png, .svg or .pdf file; &quot;%1&quot; ends in none of these. Nothing was written.</source>
        <translation>Die Zeitleiste lässt sich nur als .png-, .svg- oder .pdf-Datei speichern; „%1“ endet auf keine davon. Es wurde nichts geschrieben.</translation>
    </message>
    <message>
        <source>Done! The timeline was saved to %1.</source>
        <translation>Fertig! Die Zeitleiste wurde in %1 gespeichert.</translation>
    </message>
</context>
<context>
    <name>ambrel::frmDaysOff</name>
    <message>
        <source>Days Off</source>
        <translation>Freie Tage</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Weekday</source>
        <translation>Wochentag</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Days off</source>
        <translation>Freie Tage</translation>
    </message>
    <message>
        <source>Name (optional)</source>
        <translation>Name (optional)</translation>
    </message>
    <message>
        <source>Name of the day off</source>
        <translation>Name des freien Tages</translation>
    </message>
    <message>
        <source>Optional; Enter adds the day</source>
        <translation>Optional; die Eingabetaste fügt den Tag hinzu</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <source>Day off:</source>
        <translation>Freier Tag:</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Import from an iCalendar file…</source>
        <translation>Aus einer iCalendar-Datei importieren…</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Import Days Off</source>
        <translation>Freie Tage importieren</translation>
    </message>
    <message>
        <source>iCalendar files (*.ics);;All files (*)</source>
        <translation>iCalendar-Dateien (*.ics);;Alle Dateien (*)</translation>
    </message>
</context>
<context>
    <name>ambrel::frmTips</name>
    <message>
        <source>Tips</source>
        <translation>Tipps</translation>
    </message>
    <message>
        <source>Tips:</source>
        <translation>Tipps:</translation>
    </message>
    <message>
        <source>You can set the duration of each task by adding a &quot;+ X days&quot;  of it.</source>
        <translation>Die Dauer jeder Aufgabe legen Sie mit einem angehängten „+ X Tage“ fest.</translation>
    </message>
    <message>
        <source>Example: </source>
        <translation>Beispiel: </translation>
    </message>
    <message>
        <source> Do This + 7 Days</source>
        <translation> Erledigen + 7 Tage</translation>
    </message>
    <message>
        <source>or </source>
        <translation>oder </translation>
    </message>
    <message>
        <source> Do This + 7</source>
        <translation> Erledigen + 7</translation>
    </message>
    <message>
        <source>This will set the duration of the task to 7 days.</source>
        <translation>Damit dauert die Aufgabe 7 Tage.</translation>
    </message>
    <message>
        <source>In the &quot;Pro&quot; version, you can create parallel tasks (tasks that begin on the same date). To make a parallel task simply add // at the beginning of it and it and it will inherit the start date of the previous task.</source>
        <translation>In der „Pro“-Version können Sie parallele Aufgaben anlegen (Aufgaben, die am selben Tag beginnen). Setzen Sie dazu einfach // an den Anfang einer Aufgabe; sie übernimmt dann den Beginn der vorigen Aufgabe.</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>ambrel::frmWorkingWeek</name>
    <message>
        <source>Working Week</source>
        <translation>Arbeitswoche</translation>
    </message>
    <message>
        <source>My Working Week</source>
        <translation>Meine Arbeitswoche</translation>
    </message>
    <message>
        <source>Monday</source>
        <translation>Montag</translation>
    </message>
    <message>
        <source>Tuesday</source>
        <translation>Dienstag</translation>
    </message>
    <message>
        <source>Wednesday</source>
        <translation>Mittwoch</translation>
    </message>
    <message>
        <source>Thursday</source>
        <translation>Donnerstag</translation>
    </message>
    <message>
        <source>Friday</source>
        <translation>Freitag</translation>
    </message>
    <message>
        <source>Saturday</source>
        <translation>Samstag</translation>
    </message>
    <message>
        <source>Sunday</source>
        <translation>Sonntag</translation>
    </message>
    <message>
        <source>Each Working Day Begins at:</source>
        <translation>Arbeitsbeginn:</translation>
    </message>
    <message>
        <source>And Ends at:</source>
        <translation>Arbeitsende:</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a time of day. Please write an hour such as 09:00 AM, 9 AM or 17:30.</source>
        <translation>„%1“ ist keine Uhrzeit. Bitte schreiben Sie eine Uhrzeit wie 09:00 AM, 9 AM oder 17:30.</translation>
    </message>
    <message>
        <source>Your &apos;Ends At&apos; Hour should be higher.</source>
        <translation>Das Ende des Arbeitstags muss nach seinem Beginn liegen.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="vanished">Fehler</translation>
    </message>
    <message>
        <source>Please select 1 or more working days (for a better software performance we recommend to select 4 at least).</source>
        <translation>Bitte wählen Sie mindestens 1 Arbeitstag (damit das Programm gut arbeitet, empfehlen wir mindestens 4).</translation>
    </message>
    <message numerus="yes">
        <source>Your working week has %n working days. For a better software performance is recommended to increase this value to 4 (min.). Save your changes anyway?</source>
        <translation>
            <numerusform>Ihre Arbeitswoche hat %n Arbeitstag. Damit das Programm gut arbeitet, empfehlen wir mindestens 4. Änderungen trotzdem speichern?</numerusform>
            <numerusform>Ihre Arbeitswoche hat %n Arbeitstage. Damit das Programm gut arbeitet, empfehlen wir mindestens 4. Änderungen trotzdem speichern?</numerusform>
        </translation>
    </message>
    <message>
        <source>Important </source>
        <translation>Wichtig </translation>
    </message>
    <message>
        <source>Hours</source>
        <translation>Uhrzeiten</translation>
    </message>
</context>
</TS>
