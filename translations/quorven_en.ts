<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="hu">
<context>
    <name>GridHeaders</name>
    <message>
        <source>Beép.hely</source>
        <translation>Location</translation>
    </message>
    <message>
        <source>Mbus cím</source>
        <translation>M-Bus address</translation>
    </message>
    <message>
        <source>Gy.sz.</source>
        <translation>ID number</translation>
    </message>
    <message>
        <source>Baud</source>
        <translation>Baud</translation>
    </message>
    <message>
        <source>Gyártó</source>
        <translation>Manufacturer</translation>
    </message>
    <message>
        <source>Változat</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Közeg</source>
        <translation>Medium</translation>
    </message>
    <message>
        <source>adatcsomag</source>
        <translation>Records</translation>
    </message>
    <message>
        <source>COM port</source>
        <translation>COM port</translation>
    </message>
    <message>
        <source>dátum</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>időpont</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>ID-no.</source>
        <translation>ID no.</translation>
    </message>
    <message>
        <source>Szám</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>érték</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>egység</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>leírás</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>tipus</source>
        <translation>Function</translation>
    </message>
    <message>
        <source>modul</source>
        <translation>Subunit</translation>
    </message>
    <message>
        <source>állapot szám</source>
        <translation>Storage no.</translation>
    </message>
    <message>
        <source>tarifa</source>
        <translation>Tariff</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>mérök:</source>
        <translation>Meters:</translation>
    </message>
    <message>
        <source>&amp;COM-port:</source>
        <translation>&amp;COM port:</translation>
    </message>
    <message>
        <source>COM-port number</source>
        <translation>COM port number</translation>
    </message>
    <message>
        <source>serial M-Bus port</source>
        <translation>Serial port of the M-Bus</translation>
    </message>
    <message>
        <source>Search baud rate(s):</source>
        <translation>Search baud rate(s):</translation>
    </message>
    <message>
        <source>baudrate for slave search / modem</source>
        <translation>Baud rate for the slave search and the modem</translation>
    </message>
    <message>
        <source>GSM-modem (8N1)</source>
        <translation>GSM modem (8N1)</translation>
    </message>
    <message>
        <source>for GSM-modem operation (no parity)</source>
        <translation>For a GSM modem (no parity)</translation>
    </message>
    <message>
        <source>S&amp;ND_NKE</source>
        <translation>S&amp;ND_NKE</translation>
    </message>
    <message>
        <source>Normalize slave before reading</source>
        <translation>Normalize the meter (SND_NKE) before reading</translation>
    </message>
    <message>
        <source>M&amp;ulti Tel.</source>
        <translation>M&amp;ulti tel.</translation>
    </message>
    <message>
        <source>Read multi telegrams</source>
        <translation>Read all telegrams of a meter</translation>
    </message>
    <message>
        <source>App&amp;. Res.</source>
        <translation>App&amp;. reset</translation>
    </message>
    <message>
        <source>Send application reset before reading</source>
        <translation>Send an application reset before reading</translation>
    </message>
    <message>
        <source>Cím keresés</source>
        <translation>Address search</translation>
    </message>
    <message>
        <source>keresés elsodleges cím szerint</source>
        <translation>Search the bus by primary address</translation>
    </message>
    <message>
        <source>Gy.sz.keresés</source>
        <translation>ID search</translation>
    </message>
    <message>
        <source>keresés másodlagos cím (Gysz.) szerint</source>
        <translation>Search the bus by secondary address (ID number)</translation>
    </message>
    <message>
        <source>M-Bus olvasás</source>
        <translation>Read M-Bus</translation>
    </message>
    <message>
        <source>minden M-Bus mérö olvasása</source>
        <translation>Read every meter of the slave list</translation>
    </message>
    <message>
        <source>idoköz [s]:</source>
        <translation>Cycle time [s]:</translation>
    </message>
    <message>
        <source>Cycle time for polling or logging</source>
        <translation>Cycle time for polling or logging</translation>
    </message>
    <message>
        <source>time between readouts when polling or logging</source>
        <translation>Time between read-outs when polling or logging</translation>
    </message>
    <message>
        <source>&amp;Poll M-Bus</source>
        <translation>&amp;Poll M-Bus</translation>
    </message>
    <message>
        <source>ismételt olvasás (adattáblát felülírja)</source>
        <translation>Read again and again (overwrites the data table)</translation>
    </message>
    <message>
        <source>&amp;Log M-Bus</source>
        <translation>&amp;Log M-Bus</translation>
    </message>
    <message>
        <source>ismételt olvasás (adattábla végére ír)</source>
        <translation>Read again and again (appends to the data table)</translation>
    </message>
    <message>
        <source>&amp;Stop</source>
        <translation>&amp;Stop</translation>
    </message>
    <message>
        <source>Stop all activities</source>
        <translation>Stop all activities</translation>
    </message>
    <message>
        <source>&amp;Modem</source>
        <translation>&amp;Modem</translation>
    </message>
    <message>
        <source>modem hívás ablak</source>
        <translation>Open the modem call window</translation>
    </message>
    <message>
        <source>állapot:</source>
        <translation>Status:</translation>
    </message>
    <message>
        <source>irás log file-ba</source>
        <translation>Write log file</translation>
    </message>
    <message>
        <source>Write data to disk during logging</source>
        <translation>Write the data to disk while logging</translation>
    </message>
    <message>
        <source>Daily log file</source>
        <translation>Daily log file</translation>
    </message>
    <message>
        <source>Open a new log file each day</source>
        <translation>Open a new log file each day</translation>
    </message>
    <message>
        <source>IDS+</source>
        <translation>IDS+</translation>
    </message>
    <message>
        <source>enhanced ID search</source>
        <translation>Enhanced ID search</translation>
    </message>
    <message>
        <source>MDK</source>
        <translation>MDK</translation>
    </message>
    <message>
        <source>Sensus MDK (DTR = +12V, RTS = -12V)</source>
        <translation>Sensus MDK (DTR = +12V, RTS = -12V)</translation>
    </message>
    <message>
        <source>CS&amp;V separator</source>
        <translation>CS&amp;V separator</translation>
    </message>
    <message>
        <source>Cell delimiter in CSV-file</source>
        <translation>Cell separator in CSV files</translation>
    </message>
    <message>
        <source>mérölista nyomt.</source>
        <translation>Print list</translation>
    </message>
    <message>
        <source>mérölistát printerre küld</source>
        <translation>Print the slave list</translation>
    </message>
    <message>
        <source>mérölista mentés</source>
        <translation>Save list</translation>
    </message>
    <message>
        <source>mérölistát Excel-CSV file-ba lemezre írja</source>
        <translation>Save the slave list as a CSV file (Excel)</translation>
    </message>
    <message>
        <source>mérölista betöltés</source>
        <translation>Load list</translation>
    </message>
    <message>
        <source>mérölistát lemezrol betölt (Excel-CSV formátum)</source>
        <translation>Load a slave list from a CSV file (Excel)</translation>
    </message>
    <message>
        <source>duplák törlése</source>
        <translation>Remove duplicates</translation>
    </message>
    <message>
        <source>duplán betöltött méro törlése</source>
        <translation>Remove meters listed twice</translation>
    </message>
    <message>
        <source>adat nyomt.</source>
        <translation>Print data</translation>
    </message>
    <message>
        <source>adatlistát printerre küld</source>
        <translation>Print the data table</translation>
    </message>
    <message>
        <source>adat mentés</source>
        <translation>Save data</translation>
    </message>
    <message>
        <source>adatlistát lemezre ír mint Excel-CSV file</source>
        <translation>Save the data table as a CSV file (Excel)</translation>
    </message>
    <message>
        <source>adat betöltés</source>
        <translation>Load data</translation>
    </message>
    <message>
        <source>adatlistát lemezröl betölt (Excel –CSV)</source>
        <translation>Load a data table from a CSV file (Excel)</translation>
    </message>
    <message>
        <source>adat törlés</source>
        <translation>Clear data</translation>
    </message>
    <message>
        <source>adatlista törlése</source>
        <translation>Clear the data table</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>Import from text data file (hex ascii with spaces: 68 2D 2D 68 08 01 72 ..)</source>
        <translation>Import a telegram from a text file (hex bytes with spaces: 68 2D 2D 68 08 01 72 ..)</translation>
    </message>
    <message>
        <source>grafikon</source>
        <translation>Chart</translation>
    </message>
    <message>
        <source>a mért értékek grafikonja</source>
        <translation>Chart of the measured values</translation>
    </message>
    <message>
        <source>adat nagyítás</source>
        <translation>Zoom data</translation>
    </message>
    <message>
        <source>adatlista teljes képernyön</source>
        <translation>Show the data table in a large window</translation>
    </message>
    <message>
        <source>olvasás törlés</source>
        <translation>Clear trace</translation>
    </message>
    <message>
        <source>a log mezö törlése</source>
        <translation>Clear the text area</translation>
    </message>
    <message>
        <source>kilép</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Exit program</source>
        <translation>Exit the program</translation>
    </message>
    <message>
        <source>mérot beszúr</source>
        <translation>Insert meter</translation>
    </message>
    <message>
        <source>új méröt felvisz</source>
        <translation>Append meter</translation>
    </message>
    <message>
        <source>mérot töröl</source>
        <translation>Delete meter</translation>
    </message>
    <message>
        <source>méröteszt</source>
        <translation>Test meter</translation>
    </message>
    <message>
        <source>méröt olvas</source>
        <translation>Read meter</translation>
    </message>
    <message>
        <source>listát töröl</source>
        <translation>Clear list</translation>
    </message>
    <message>
        <source>elsödleges cím beáll.</source>
        <translation>Set primary address</translation>
    </message>
    <message>
        <source>gysz. beállítás</source>
        <translation>Set ID number</translation>
    </message>
    <message>
        <source>SND_NKE címhez</source>
        <translation>SND_NKE to address</translation>
    </message>
    <message>
        <source>SND_NKE mindhez</source>
        <translation>SND_NKE to all</translation>
    </message>
    <message>
        <source>alk. Reset címhez</source>
        <translation>Application reset to address</translation>
    </message>
    <message>
        <source>alk. Reset mindhez</source>
        <translation>Application reset to all</translation>
    </message>
    <message>
        <source>0-cím olvasás</source>
        <translation>Read address 0</translation>
    </message>
    <message>
        <source>grafikon log file-ból...</source>
        <translation>Chart from log file...</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>&amp;About Quorven</source>
        <translation>&amp;About Quorven</translation>
    </message>
    <message>
        <source>To begin: search the bus (&quot;Cím keresés&quot;, &quot;Gy.sz.keresés&quot;), load a slave list (&quot;mérölista betöltés&quot;) or import a telegram (&quot;Import&quot;).</source>
        <translation>To begin: search the bus (&quot;Address search&quot;, &quot;ID search&quot;), load a slave list (&quot;Load list&quot;) or import a telegram (&quot;Import&quot;).</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>%1 of %2 slaves read successfully.</source>
        <translation>%1 of %2 meters read successfully.</translation>
    </message>
    <message>
        <source>%1 rows of the data table have not been written to the log file %2 yet. Drop them?</source>
        <translation>%1 rows of the data table have not been written to the log file %2 yet. Drop them?</translation>
    </message>
    <message>
        <source>%1 was not saved: it could not be loaded and is kept as it was</source>
        <translation>%1 was not saved: it could not be loaded and is kept as it was</translation>
    </message>
    <message>
        <source>File too large for a telegram: %1</source>
        <translation>File too large for a telegram: %1</translation>
    </message>
    <message>
        <source>%1 rows without a number were skipped</source>
        <translation>%1 rows without a number were skipped</translation>
    </message>
    <message>
        <source>%1 rows without a date and time were skipped</source>
        <translation>%1 rows without a date and time were skipped</translation>
    </message>
    <message>
        <source>Wrong telegram length $%1
<byte value="xd"/>True length would be $%2
<byte value="xd"/>Should the length be adapted?</source>
        <translation>Wrong telegram length $%1
The true length would be $%2
Adapt the length?</translation>
    </message>
    <message>
        <source>Wrong checksum $%1
<byte value="xd"/>True checksum would be $%2
<byte value="xd"/>Should the checksum be adapted?</source>
        <translation>Wrong checksum $%1
The true checksum would be $%2
Adapt the checksum?</translation>
    </message>
    <message>
        <source>Cannot open file %1 to keep it: it was not replaced</source>
        <translation>Cannot open file %1 to keep it: it was not replaced</translation>
    </message>
    <message>
        <source>Cannot Create file %1: %2 was not replaced</source>
        <translation>Cannot create file %1: %2 was not replaced</translation>
    </message>
    <message>
        <source>Cannot Create file %1</source>
        <translation>Cannot create file %1</translation>
    </message>
    <message>
        <source>Cannot open file %1</source>
        <translation>Cannot open file %1</translation>
    </message>
    <message>
        <source>%1 is mapped to the simulated bus, which is not loaded</source>
        <translation>%1 is mapped to the simulated bus, which is not loaded</translation>
    </message>
    <message>
        <source>%1 was closed while connecting</source>
        <translation>%1 was closed while connecting</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2</source>
        <translation>%1 cannot be opened: %2</translation>
    </message>
    <message>
        <source>Checksummenfehler %1 &lt;&gt; %2</source>
        <translation>Checksum error %1 &lt;&gt; %2</translation>
    </message>
    <message>
        <source>Communication error!</source>
        <translation>Communication error!</translation>
    </message>
    <message>
        <source>Aborting</source>
        <translation>Aborting</translation>
    </message>
    <message>
        <source>Wrong stopsign in M-Bus data set!</source>
        <translation>Wrong stop byte in the M-Bus telegram!</translation>
    </message>
    <message>
        <source>Stopsign error</source>
        <translation>Stop byte error</translation>
    </message>
    <message>
        <source>Checksum error in M-Bus data set!</source>
        <translation>Checksum error in the M-Bus telegram!</translation>
    </message>
    <message>
        <source>Checksum error</source>
        <translation>Checksum error</translation>
    </message>
    <message>
        <source>2. M-Bus startsign wrong!</source>
        <translation>Second M-Bus start byte wrong!</translation>
    </message>
    <message>
        <source>Startsign error</source>
        <translation>Start byte error</translation>
    </message>
    <message>
        <source>Wrong M-Bus data length!</source>
        <translation>Wrong M-Bus telegram length!</translation>
    </message>
    <message>
        <source>Length error</source>
        <translation>Length error</translation>
    </message>
    <message>
        <source>Other COM error occured!</source>
        <translation>Other COM error occurred!</translation>
    </message>
    <message>
        <source>Other COM error</source>
        <translation>Other COM error</translation>
    </message>
    <message>
        <source>Break error during data receiving!</source>
        <translation>Break on the line while receiving data!</translation>
    </message>
    <message>
        <source>Break error</source>
        <translation>Break error</translation>
    </message>
    <message>
        <source>Parity error during data receiving!<byte value="xd"/>
Answer collision?</source>
        <translation>Parity error while receiving data!
Answer collision?</translation>
    </message>
    <message>
        <source>Frame error (stopbit) during data receiving!<byte value="xd"/>
Answer collision?</source>
        <translation>Framing error (stop bit) while receiving data!
Answer collision?</translation>
    </message>
    <message>
        <source>Read error</source>
        <translation>Read error</translation>
    </message>
    <message>
        <source>Error during write to COM-port!</source>
        <translation>Error while writing to the COM port!</translation>
    </message>
    <message>
        <source>Write error</source>
        <translation>Write error</translation>
    </message>
    <message>
        <source>No answer from device.<byte value="xd"/>
M-Bus wiring, COM-Port, baud rate<byte value="xd"/>
and M-Bus address has to be checked!</source>
        <translation>No answer from the meter.
Check the M-Bus wiring, the COM port, the baud rate
and the M-Bus address!</translation>
    </message>
    <message>
        <source>Receive timeout</source>
        <translation>Receive timeout</translation>
    </message>
    <message>
        <source>Read-out info</source>
        <translation>Read-out info</translation>
    </message>
    <message>
        <source>Wrong com-port in slave list</source>
        <translation>Wrong COM port in the slave list</translation>
    </message>
    <message>
        <source>Com-port error</source>
        <translation>COM port error</translation>
    </message>
    <message>
        <source>Erase current slave list?</source>
        <translation>Erase the current slave list?</translation>
    </message>
    <message>
        <source>Question</source>
        <translation>Question</translation>
    </message>
    <message>
        <source>Log file</source>
        <translation>Log file</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Another operation is running; wait for it to end or press Stop.</source>
        <translation>Another operation is running; wait for it to end or press Stop.</translation>
    </message>
    <message>
        <source>adatcsomag</source>
        <translation>Data files</translation>
    </message>
    <message>
        <source>szabad</source>
        <translation>free</translation>
    </message>
    <message>
        <source>&amp;Dial</source>
        <translation>&amp;Dial</translation>
    </message>
    <message>
        <source>&amp;Hangup</source>
        <translation>&amp;Hang up</translation>
    </message>
    <message>
        <source>Init Modem</source>
        <translation>Initializing the modem</translation>
    </message>
    <message>
        <source>Dialing...</source>
        <translation>Dialing...</translation>
    </message>
    <message>
        <source>Port lost</source>
        <translation>Port lost</translation>
    </message>
    <message>
        <source>Hangup</source>
        <translation>Hanging up</translation>
    </message>
    <message>
        <source>Idle</source>
        <translation>Idle</translation>
    </message>
    <message>
        <source>Modem initialized</source>
        <translation>Modem initialized</translation>
    </message>
    <message>
        <source>Connected</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>Modem Busy</source>
        <translation>Line busy</translation>
    </message>
    <message>
        <source>No Carrier</source>
        <translation>No carrier</translation>
    </message>
    <message>
        <source>No Dial Tone</source>
        <translation>No dial tone</translation>
    </message>
    <message>
        <source>Modem Error</source>
        <translation>Modem error</translation>
    </message>
    <message>
        <source>Command Timeout</source>
        <translation>Command timeout</translation>
    </message>
    <message>
        <source>Dial Timeout</source>
        <translation>Dial timeout</translation>
    </message>
    <message>
        <source>Datensatz 0-Länge</source>
        <translation>Telegram of length 0</translation>
    </message>
    <message>
        <source>M-Bus Datensatzlänge zu kurz</source>
        <translation>M-Bus telegram too short</translation>
    </message>
    <message>
        <source>M-Bus Datensatzlänge zu lang</source>
        <translation>M-Bus telegram too long</translation>
    </message>
    <message>
        <source>1. $68 fehlt</source>
        <translation>First $68 missing</translation>
    </message>
    <message>
        <source>Längenfelder unterschiedlich</source>
        <translation>Length fields differ</translation>
    </message>
    <message>
        <source>Länge und Längenfeld unterschiedlich</source>
        <translation>Length and length field differ</translation>
    </message>
    <message>
        <source>2. $68 fehlt</source>
        <translation>Second $68 missing</translation>
    </message>
    <message>
        <source>C-Feld Fehler</source>
        <translation>C field error</translation>
    </message>
    <message>
        <source>Stopzeichen falsch</source>
        <translation>Stop byte wrong</translation>
    </message>
</context>
<context>
    <name>quorven::ChartWindow</name>
    <message>
        <source>PNG kép (*.png)</source>
        <translation>PNG picture (*.png)</translation>
    </message>
    <message>
        <source>PDF (*.pdf)</source>
        <translation>PDF (*.pdf)</translation>
    </message>
    <message>
        <source>log file (*.csv);;(*.*)</source>
        <translation>Log file (*.csv);;(*.*)</translation>
    </message>
    <message>
        <source>only the first %1 lines are drawn</source>
        <translation>only the first %1 lines are drawn</translation>
    </message>
    <message>
        <source>idő</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>grafikon: adatlista</source>
        <translation>Chart: data table</translation>
    </message>
    <message>
        <source>grafikon: %1</source>
        <translation>Chart: %1</translation>
    </message>
    <message>
        <source>grafikon</source>
        <translation>Chart</translation>
    </message>
    <message>
        <source>teljes idő</source>
        <translation>Whole time</translation>
    </message>
    <message>
        <source>a nagyítás vége: az egész időszak</source>
        <translation>End the zoom: the whole time range</translation>
    </message>
    <message>
        <source>PNG mentés</source>
        <translation>Save PNG</translation>
    </message>
    <message>
        <source>PDF mentés</source>
        <translation>Save PDF</translation>
    </message>
    <message>
        <source>log file megnyitása</source>
        <translation>Open log file</translation>
    </message>
    <message>
        <source>mérők</source>
        <translation>Meters</translation>
    </message>
    <message>
        <source>adatok</source>
        <translation>Records</translation>
    </message>
</context>
<context>
    <name>quorven::TForm1</name>
    <message>
        <source>foglalt</source>
        <translation>busy</translation>
    </message>
    <message>
        <source>szabad</source>
        <translation>free</translation>
    </message>
    <message>
        <source>Closing when the running operation has ended</source>
        <translation>Closing when the running operation has ended</translation>
    </message>
    <message>
        <source>log file (*.csv);;(*.*)</source>
        <translation>Log file (*.csv);;(*.*)</translation>
    </message>
    <message>
        <source>About Quorven</source>
        <translation>About Quorven</translation>
    </message>
    <message>
        <source>Ini-file is write-protected!</source>
        <translation>The settings file is write-protected!</translation>
    </message>
    <message>
        <source>Write error</source>
        <translation>Write error</translation>
    </message>
    <message>
        <source>Cannot write the settings file %1: %2</source>
        <translation>Cannot write the settings file %1: %2</translation>
    </message>
    <message>
        <source>Cannot print on %1</source>
        <translation>Cannot print on %1</translation>
    </message>
    <message>
        <source>Print error</source>
        <translation>Print error</translation>
    </message>
</context>
<context>
    <name>quorven::TForm2</name>
    <message>
        <source>M-Bus data</source>
        <translation>M-Bus data</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>Close data list</source>
        <translation>Close the data table</translation>
    </message>
</context>
<context>
    <name>quorven::TForm4</name>
    <message>
        <source>Modem</source>
        <translation>Modem</translation>
    </message>
    <message>
        <source>&amp;Modem configuration:</source>
        <translation>&amp;Modem configuration:</translation>
    </message>
    <message>
        <source>M-Bus Modem configuration string e.g. AT&amp;FU1^M</source>
        <translation>Modem configuration string, e.g. AT&amp;FU1^M</translation>
    </message>
    <message>
        <source>&amp;Phone number:</source>
        <translation>&amp;Phone number:</translation>
    </message>
    <message>
        <source>Phone number</source>
        <translation>Phone number</translation>
    </message>
    <message>
        <source>&amp;Pulse dial</source>
        <translation>&amp;Pulse dialing</translation>
    </message>
    <message>
        <source>Pulse or tone dialing</source>
        <translation>Pulse dialing instead of tone dialing</translation>
    </message>
    <message>
        <source>Dial phone number</source>
        <translation>Dial the phone number</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Close</translation>
    </message>
    <message>
        <source>Close Modem window</source>
        <translation>Close the modem window</translation>
    </message>
    <message>
        <source>állapot:</source>
        <translation>Status:</translation>
    </message>
</context>
</TS>
